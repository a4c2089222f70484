#pragma once
// The SDL calls the sound output makes, looked up in the SDL library when a sound first plays
// rather than bound when the program starts: SDL brings in the system's audio, display and desktop
// libraries, which cost a command-line run most of its start, and only playing needs them.
#include <SDL.h>

#include "Status.h"

namespace Orvane {

struct SdlLibrary {
  decltype(&SDL_GetError) GetError;
  decltype(&SDL_SetHint) SetHint;
  decltype(&SDL_InitSubSystem) InitSubSystem;
  decltype(&SDL_QuitSubSystem) QuitSubSystem;
  decltype(&SDL_RWFromConstMem) RWFromConstMem;
  decltype(&SDL_LoadWAV_RW) LoadWAV_RW;
  decltype(&SDL_FreeWAV) FreeWAV;
  decltype(&SDL_OpenAudioDevice) OpenAudioDevice;
  decltype(&SDL_PauseAudioDevice) PauseAudioDevice;
  decltype(&SDL_GetAudioDeviceStatus) GetAudioDeviceStatus;
  decltype(&SDL_LockAudioDevice) LockAudioDevice;
  decltype(&SDL_UnlockAudioDevice) UnlockAudioDevice;
  decltype(&SDL_CloseAudioDevice) CloseAudioDevice;
};

// The library's calls, looked up once and kept for the life of the process. Fails with
// ErrorKind::NoDevice, naming the library and the loader's reason, when the system has none.
Result<const SdlLibrary*> LoadSdl();

}  // namespace Orvane
