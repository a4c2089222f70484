#include "SoundOutput.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <variant>

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace Orvane {
namespace {

// Rates this low only come from damaged headers, and a device buffer at such a rate lasts long
// enough to stall every stop and every close.
constexpr int kLowestRate = 100;
// The most channels SDL opens a device with.
constexpr int kMostChannels = 8;

struct FreeWav {
  void operator()(Uint8* samples) const { SDL_FreeWAV(samples); }
};
using WavSamples = std::unique_ptr<Uint8, FreeWav>;

// A sound as SDL reads it from an image: its format and its samples.
struct Sound {
  SDL_AudioSpec Format{};
  WavSamples Samples;
  Uint32 Length = 0;
};

// What the audio callback reads. SDL runs the callback with the device locked, so everything but
// `Playing` changes only under that lock, or before the device first plays.
struct Playback {
  WavSamples Samples;
  Uint32 Length = 0;
  Uint32 Position = 0;
  Uint8 Silence = 0;
  std::atomic<bool> Playing{false};  // read without the lock by those waiting for the end

  void SetPlaying(bool playing) {
    Playing.store(playing);
    if (!playing) Playing.notify_all();
  }
};

// The audio thread's side: hands the device the next samples, and silence once they run out.
void SDLCALL Feed(void* userdata, Uint8* out, int length) {
  Playback& playback = *static_cast<Playback*>(userdata);
  const auto wanted = static_cast<Uint32>(length);
  const Uint32 count = std::min(wanted, playback.Length - playback.Position);
  if (count > 0) std::memcpy(out, playback.Samples.get() + playback.Position, count);
  std::memset(out + count, playback.Silence, wanted - count);
  playback.Position += count;
  if (playback.Position == playback.Length && playback.Playing.load()) playback.SetPlaying(false);
}

// Reads `image` the way SDL reads a WAVE file, into a buffer of SDL's own: the image itself is
// released here. Answers the reason when the sound cannot play.
std::variant<Sound, std::string> ReadSound(std::vector<std::uint8_t> image) {
  if (image.size() > static_cast<std::size_t>(INT_MAX))
    return "it is " + std::to_string(image.size()) +
           " bytes long; sounds of 2 GiB or more cannot play";
  Sound sound;
  Uint8* samples = nullptr;
  SDL_RWops* source = SDL_RWFromConstMem(image.data(), static_cast<int>(image.size()));
  if (source == nullptr ||
      SDL_LoadWAV_RW(source, 1, &sound.Format, &samples, &sound.Length) == nullptr)
    return std::string("the sound output refuses its format (") + SDL_GetError() + ")";
  sound.Samples.reset(samples);
  if (sound.Format.freq < kLowestRate)
    return "its sample rate of " + std::to_string(sound.Format.freq) +
           " Hz is below the lowest that plays, " + std::to_string(kLowestRate) + " Hz";
  if (sound.Format.channels > kMostChannels)
    return "it has " + std::to_string(sound.Format.channels) + " channels; at most " +
           std::to_string(kMostChannels) + " can play";
  return sound;
}

bool SameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
  return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}

// About 25 ms of sound per device buffer: a new play cuts in, and a device closes, without a
// noticeable wait, while the device is still fed in few enough steps.
Uint16 BufferFrames(int rate) {
  const unsigned frames = std::bit_floor(static_cast<unsigned>(rate / 40));
  return static_cast<Uint16>(std::clamp(frames, 1u, 4096u));
}

#if defined(__linux__)
// libasound prints its configuration errors to standard error, several lines for a machine
// without a sound card; SDL reports the same failure in one line.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsaErrors() {
  void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
  if (alsa == nullptr) return;
  using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
  using SetHandler = int (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(alsa, "snd_lib_error_set_handler")))
    set(IgnoreAlsaError);
  dlclose(alsa);
}
#else
void QuietAlsaErrors() {}
#endif

class Player {
 public:
  Player() = default;
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;
  ~Player() { ShutDown(); }

  PlayResult Play(std::vector<std::uint8_t> image) {
    std::function<void()> fallback;
    PlayResult result;
    {
      std::lock_guard lock(mutex_);
      auto read = ReadSound(std::move(image));
      if (auto* refusal = std::get_if<std::string>(&read)) {
        Replace(Sound{});  // like any play, a refused one stops the sound before it
        fallback = defaultSound_;
        result = {PlayOutcome::Refused, std::move(*refusal)};
      } else {
        result = PlayOnDevice(std::get<Sound>(std::move(read)));
      }
    }
    // Outside the lock: the fallback is the caller's code.
    if (fallback) fallback();
    return result;
  }

  void SetDefaultSound(std::function<void()> sound) {
    std::lock_guard lock(mutex_);
    defaultSound_ = std::move(sound);
  }

  std::atomic<bool>& Playing() { return playback_.Playing; }

  void Stop() {
    std::lock_guard lock(mutex_);
    Replace(Sound{});
  }

  void ShutDown() {
    std::lock_guard lock(mutex_);
    StopAudio();
  }

 private:
  PlayResult PlayOnDevice(Sound sound) {
    if (auto failure = StartAudio()) return {PlayOutcome::NoDevice, *failure};
    if (device_ != 0 && SameFormat(deviceFormat_, sound.Format) &&
        SDL_GetAudioDeviceStatus(device_) != SDL_AUDIO_STOPPED) {
      Replace(std::move(sound));
      return {};
    }
    // A device runs in one format; another format, or a lost device, takes a new one.
    CloseDevice();
    if (auto failure = OpenDevice(std::move(sound))) {
      StopAudio();  // so that the next play looks for a device afresh
      return {PlayOutcome::NoDevice, *failure};
    }
    return {};
  }

  std::optional<std::string> StartAudio() {
    if (audioStarted_) return std::nullopt;
    // Otherwise SDL takes Ctrl+C and termination requests for an event loop that nobody runs.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
      return std::string("no audio device (") + SDL_GetError() + ")";
    QuietAlsaErrors();
    audioStarted_ = true;
    return std::nullopt;
  }

  void StopAudio() {
    CloseDevice();
    if (!audioStarted_) return;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioStarted_ = false;
  }

  std::optional<std::string> OpenDevice(Sound sound) {
    SDL_AudioSpec wanted = sound.Format;
    wanted.samples = BufferFrames(wanted.freq);
    wanted.callback = Feed;
    wanted.userdata = &playback_;
    Replace(std::move(sound));  // no device yet: the callback cannot run
    SDL_AudioSpec obtained{};
    // No changes allowed: the device takes the sound's own format and SDL converts it to what
    // the hardware plays, so the samples reach the device as they are.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
      Replace(Sound{});
      return std::string("no audio device (") + SDL_GetError() + ")";
    }
    // A device opens paused and plays silence until it is unpaused, so unpause at once.
    playback_.Silence = obtained.silence;
    SDL_PauseAudioDevice(device, 0);
    device_ = device;
    deviceFormat_ = wanted;
    return std::nullopt;
  }

  void CloseDevice() {
    if (device_ == 0) return;
    SDL_CloseAudioDevice(device_);  // returns once the audio thread has ended
    device_ = 0;
    Replace(Sound{});
  }

  // Makes `sound` the one the callback reads, from its start.
  void Replace(Sound sound) {
    WavSamples previous;
    if (device_ != 0) SDL_LockAudioDevice(device_);
    previous = std::exchange(playback_.Samples, std::move(sound.Samples));
    playback_.Length = sound.Length;
    playback_.Position = 0;
    playback_.SetPlaying(sound.Length > 0);
    if (device_ != 0) SDL_UnlockAudioDevice(device_);
    // `previous` is freed on return, after the unlock: the callback can no longer reach it.
  }

  std::mutex mutex_;  // one caller at a time
  bool audioStarted_ = false;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec deviceFormat_{};
  Playback playback_;
  std::function<void()> defaultSound_;
};

Player& ThePlayer() {
  static Player player;
  return player;
}

}  // namespace

PlayResult PlaySoundImage(std::vector<std::uint8_t> image) {
  return ThePlayer().Play(std::move(image));
}

void SetDefaultSound(std::function<void()> sound) { ThePlayer().SetDefaultSound(std::move(sound)); }

void StopSound() { ThePlayer().Stop(); }

bool IsSoundPlaying() { return ThePlayer().Playing().load(); }

void WaitForSoundEnd() {
  std::atomic<bool>& playing = ThePlayer().Playing();
  while (playing.load()) playing.wait(true);
}

void ShutDownSoundOutput() { ThePlayer().ShutDown(); }

}  // namespace Orvane
