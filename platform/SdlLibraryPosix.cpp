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
  // Each call by the name it has in the library, which is its field's name after "SDL_".
#define ORVANE_FIND_SDL(call) find(calls.call, "SDL_" #call)
  ORVANE_FIND_SDL(GetError); ORVANE_FIND_SDL(SetHint); ORVANE_FIND_SDL(InitSubSystem);
  ORVANE_FIND_SDL(QuitSubSystem); ORVANE_FIND_SDL(RWFromConstMem); ORVANE_FIND_SDL(LoadWAV_RW);
  ORVANE_FIND_SDL(FreeWAV); ORVANE_FIND_SDL(OpenAudioDevice); ORVANE_FIND_SDL(PauseAudioDevice);
  ORVANE_FIND_SDL(GetAudioDeviceStatus); ORVANE_FIND_SDL(LockAudioDevice);
  ORVANE_FIND_SDL(UnlockAudioDevice); ORVANE_FIND_SDL(CloseAudioDevice);
#undef ORVANE_FIND_SDL
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
