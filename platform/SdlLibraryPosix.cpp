#include "SdlLibrary.h"

#include <dlfcn.h>

#include <string>
#include <type_traits>

#include "Text.h"

namespace Orvane {
namespace {

// SDL 2's stable name for its shared library.
constexpr const char* kSdlFile = "libSDL2-2.0.so.0";

Result<const SdlLibrary*> Open() {
  using Loaded = Result<const SdlLibrary*>;
  // A program linked with SDL has it loaded already, and this finds it there.
  void* handle = dlopen(kSdlFile, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr)
    return Loaded::Error(ErrorKind::NoDevice,
                         Str("the sound library ", kSdlFile, " cannot be loaded (", dlerror(), ")"));
  static SdlLibrary calls;
  std::string missing;
  const auto find = [&](auto& call, const char* name) {
    call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(dlsym(handle, name));
    if (call == nullptr && missing.empty()) missing = name;
  };
  find(calls.GetError, "SDL_GetError");
  find(calls.SetHint, "SDL_SetHint");
  find(calls.InitSubSystem, "SDL_InitSubSystem");
  find(calls.QuitSubSystem, "SDL_QuitSubSystem");
  find(calls.RWFromConstMem, "SDL_RWFromConstMem");
  find(calls.LoadWAV_RW, "SDL_LoadWAV_RW");
  find(calls.FreeWAV, "SDL_FreeWAV");
  find(calls.OpenAudioDevice, "SDL_OpenAudioDevice");
  find(calls.PauseAudioDevice, "SDL_PauseAudioDevice");
  find(calls.GetAudioDeviceStatus, "SDL_GetAudioDeviceStatus");
  find(calls.LockAudioDevice, "SDL_LockAudioDevice");
  find(calls.UnlockAudioDevice, "SDL_UnlockAudioDevice");
  find(calls.CloseAudioDevice, "SDL_CloseAudioDevice");
  if (!missing.empty())
    return Loaded::Error(ErrorKind::NoDevice, Str("the sound library ", kSdlFile, " has no ", missing));
  return &calls;  // the library stays loaded: the calls are used until the process ends
}

}  // namespace

Result<const SdlLibrary*> LoadSdl() {
  static const Result<const SdlLibrary*> library = Open();
  return library;
}

}  // namespace Orvane
