// The SDL calls on Windows, where SDL is linked into the programs: its audio needs nothing but
// the system's own libraries, so there is no start-up to save by looking it up later.
#include "SdlLibrary.h"

namespace Orvane {

Result<const SdlLibrary*> LoadSdl() {
  static const SdlLibrary calls{&SDL_GetError,        &SDL_SetHint,          &SDL_InitSubSystem,
                                &SDL_QuitSubSystem,   &SDL_RWFromConstMem,   &SDL_LoadWAV_RW,
                                &SDL_FreeWAV,         &SDL_OpenAudioDevice,  &SDL_PauseAudioDevice,
                                &SDL_GetAudioDeviceStatus, &SDL_LockAudioDevice, &SDL_UnlockAudioDevice,
                                &SDL_CloseAudioDevice};
  return &calls;
}

}  // namespace Orvane
