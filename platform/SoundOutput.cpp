#include "SoundOutput.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>

#include "SdlLibrary.h"
#include "SoundProgress.h"

#if defined(__linux__)
#include <dlfcn.h>
#endif

namespace Orvane {
namespace {

// The most channels SDL opens a device with.
constexpr int kMostChannels = 8;

struct FreeWav {
  decltype(&SDL_FreeWAV) Free = nullptr;  // set with the samples it frees
  void operator()(Uint8* samples) const { Free(samples); }
};
using WavSamples = std::unique_ptr<Uint8, FreeWav>;

// A sound as SDL reads it from an image: its format and its samples.
struct Sound {
  SDL_AudioSpec Format{};
  WavSamples Samples;
  Uint32 Length = 0;
};

Uint32 BytesPerFrame(const SDL_AudioSpec& format) {
  return SDL_AUDIO_BITSIZE(format.format) / 8 * format.channels;
}

// The formats SDL reads WAVE samples into, in the converter's terms.
std::optional<SampleFormat> SampleFormatOf(const SDL_AudioSpec& format) {
  SampleFormat sample{static_cast<std::uint32_t>(format.freq), format.channels,
                      static_cast<unsigned>(SDL_AUDIO_BITSIZE(format.format)),
                      SDL_AUDIO_ISFLOAT(format.format) != 0};
  switch (format.format) {
    case AUDIO_U8:
    case AUDIO_S16LSB:
    case AUDIO_S32LSB:
    case AUDIO_F32LSB: return sample;
    default: return std::nullopt;
  }
}

// What the audio callback reads. SDL runs the callback with the device locked, so everything but
// `Progress` changes only under that lock, or before the device first plays.
struct Playback {
  WavSamples Samples;
  Uint32 Length = 0;
  Uint32 Position = 0;
  // Set when the sound is not in the device's format: then the device reads it through this.
  std::unique_ptr<SoundConversion> Conversion;
  Uint8 Silence = 0;
  Uint32 DeviceFrameBytes = 1;
  SoundProgress Progress;  // read without the lock
};

// The audio thread's side: hands the device the next samples, and silence once they run out.
void SDLCALL Feed(void* userdata, Uint8* out, int length) {
  Playback& playback = *static_cast<Playback*>(userdata);
  const auto wanted = static_cast<Uint32>(length);
  Uint32 count = 0;
  bool ended = false;
  if (playback.Conversion) {
    count = static_cast<Uint32>(playback.Conversion->Read({out, wanted}));
    ended = count < wanted;
  } else {
    count = std::min(wanted, playback.Length - playback.Position);
    if (count > 0) std::memcpy(out, playback.Samples.get() + playback.Position, count);
    playback.Position += count;
    ended = playback.Position == playback.Length;
  }
  std::memset(out + count, playback.Silence, wanted - count);
  playback.Progress.Hand(count / playback.DeviceFrameBytes);
  if (ended && playback.Progress.Playing()) playback.Progress.End();
}

// Reads `image` the way SDL reads a WAVE file, into a buffer of SDL's own: the image itself is
// released here. Fails (Unsupported) with the reason when the sound cannot play.
Result<Sound> ReadSound(const SdlLibrary& sdl, std::vector<std::uint8_t> image) {
  const auto refuse = [](std::string reason) {
    return Result<Sound>::Error(ErrorKind::Unsupported, std::move(reason));
  };
  if (image.size() > static_cast<std::size_t>(INT_MAX))
    return refuse("it is " + std::to_string(image.size()) +
                  " bytes long; sounds of 2 GiB or more cannot play");
  Sound sound;
  Uint8* samples = nullptr;
  SDL_RWops* source = sdl.RWFromConstMem(image.data(), static_cast<int>(image.size()));
  if (source == nullptr ||
      sdl.LoadWAV_RW(source, 1, &sound.Format, &samples, &sound.Length) == nullptr)
    return refuse(std::string("the sound output refuses its format (") + sdl.GetError() + ")");
  sound.Samples = WavSamples(samples, FreeWav{sdl.FreeWAV});
  if (sound.Format.freq < static_cast<int>(kLowestPlayableRateHz))
    return refuse("its sample rate of " + std::to_string(sound.Format.freq) +
                  " Hz is below the lowest that plays, " +
                  std::to_string(kLowestPlayableRateHz) + " Hz");
  if (sound.Format.channels > kMostChannels)
    return refuse("it has " + std::to_string(sound.Format.channels) + " channels; at most " +
                  std::to_string(kMostChannels) + " can play");
  return sound;
}

Status NoDevice(const SdlLibrary& sdl) {
  return Status::Error(ErrorKind::NoDevice, std::string("no audio device (") + sdl.GetError() + ")");
}

bool SameFormat(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
  return a.freq == b.freq && a.format == b.format && a.channels == b.channels;
}

// How much of a sample a format keeps: float above every integer width.
int Depth(const SDL_AudioSpec& format) {
  return SDL_AUDIO_ISFLOAT(format.format) ? INT_MAX : SDL_AUDIO_BITSIZE(format.format);
}

// True when `device` plays `sound` with nothing lost: no fewer channels, no lower rate, no
// narrower samples.
bool Holds(const SDL_AudioSpec& device, const SDL_AudioSpec& sound) {
  return device.freq >= sound.freq && device.channels >= sound.channels &&
         Depth(device) >= Depth(sound);
}

SDL_AudioSpec Widest(const SDL_AudioSpec& a, const SDL_AudioSpec& b) {
  SDL_AudioSpec widest = Depth(a) >= Depth(b) ? a : b;
  widest.freq = std::max(a.freq, b.freq);
  widest.channels = std::max(a.channels, b.channels);
  return widest;
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

}  // namespace

class DevicePlayer {
 public:
  explicit DevicePlayer(SoundOutput::Settings settings)
      : defaultSound_(std::move(settings.DefaultSound)), converter_(std::move(settings.Converter)) {}
  DevicePlayer(const DevicePlayer&) = delete;
  DevicePlayer& operator=(const DevicePlayer&) = delete;
  ~DevicePlayer() { ShutDown(); }

  Status Play(std::vector<std::uint8_t> image) {
    std::function<void()> fallback;
    Status result = Status::Ok();
    {
      std::lock_guard lock(mutex_);
      if (sdl_ == nullptr) {
        auto loaded = LoadSdl();
        if (!loaded) return loaded.status();
        sdl_ = *loaded;
      }
      auto read = ReadSound(*sdl_, std::move(image));
      if (!read) {
        Replace(Sound{});  // like any play, a refused one stops the sound before it
        fallback = defaultSound_;
        result = read.status();
      } else {
        result = PlayOnDevice(std::move(*read));
      }
    }
    // Outside the lock: the fallback is the caller's code.
    if (fallback) fallback();
    return result;
  }

  const SoundProgress& Progress() const { return playback_.Progress; }

  void Stop() {
    std::lock_guard lock(mutex_);
    Replace(Sound{});
  }

  void ShutDown() {
    std::lock_guard lock(mutex_);
    StopAudio();
  }

 private:
  Status PlayOnDevice(Sound sound) {
    if (Status started = StartAudio(); !started) return started;
    SDL_AudioSpec format = sound.Format;
    if (device_ != 0 && sdl_->GetAudioDeviceStatus(device_) != SDL_AUDIO_STOPPED) {
      if (SameFormat(deviceFormat_, sound.Format)) {
        Replace(std::move(sound));
        return Status::Ok();
      }
      if (Holds(deviceFormat_, sound.Format))
        if (auto conversion = ConversionToDevice(sound)) {
          Replace(std::move(sound), std::move(conversion));
          return Status::Ok();
        }
      // Wide enough for both, so that going back to a sound of the old format costs no reopen:
      // a bank's few formats soon have a device that holds them all.
      format = Widest(deviceFormat_, sound.Format);
    }
    // A device runs in one format: a format it cannot hold, or a lost device, takes a new one.
    CloseDevice();
    Status opened = OpenDevice(std::move(sound), format);
    if (!opened) StopAudio();  // so that the next play looks for a device afresh
    return opened;
  }

  // The device is opened in the format of the sound that opens it, even an integer one, rather
  // than float: that sound and every other of its format then reach it byte for byte, and only
  // those of formats it holds are converted (and dithered where resampling makes new values).
  std::unique_ptr<SoundConversion> ConversionToDevice(const Sound& sound) const {
    const auto from = SampleFormatOf(sound.Format);
    const auto to = SampleFormatOf(deviceFormat_);
    if (!converter_ || !from || !to) return nullptr;
    return converter_({sound.Samples.get(), sound.Length}, *from, *to);
  }

  Status StartAudio() {
    if (audioStarted_) return Status::Ok();
    // Otherwise SDL takes Ctrl+C and termination requests for an event loop that nobody runs.
    sdl_->SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (sdl_->InitSubSystem(SDL_INIT_AUDIO) != 0) return NoDevice(*sdl_);
    QuietAlsaErrors();
    audioStarted_ = true;
    return Status::Ok();
  }

  void StopAudio() {
    CloseDevice();
    if (!audioStarted_) return;
    sdl_->QuitSubSystem(SDL_INIT_AUDIO);
    audioStarted_ = false;
  }

  // Opens a device in `format` (the sound's own, or one that holds it) to play `sound`.
  Status OpenDevice(Sound sound, const SDL_AudioSpec& format) {
    deviceFormat_ = DeviceSpec(format);
    std::unique_ptr<SoundConversion> conversion;
    if (!SameFormat(format, sound.Format)) {
      conversion = ConversionToDevice(sound);
      if (!conversion) deviceFormat_ = DeviceSpec(sound.Format);  // then in the sound's own
    }
    SDL_AudioSpec wanted = deviceFormat_;
    playback_.DeviceFrameBytes = BytesPerFrame(wanted);
    Replace(std::move(sound), std::move(conversion));  // no device yet: the callback cannot run
    SDL_AudioSpec obtained{};
    // No changes allowed: the device takes the format asked for and SDL converts it to what the
    // hardware plays, so the samples reach the device as they are.
    const SDL_AudioDeviceID device = sdl_->OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
      Replace(Sound{});
      return NoDevice(*sdl_);
    }
    // A device opens paused and plays silence until it is unpaused, so unpause at once.
    playback_.Silence = obtained.silence;
    sdl_->PauseAudioDevice(device, 0);
    device_ = device;
    return Status::Ok();
  }

  SDL_AudioSpec DeviceSpec(const SDL_AudioSpec& format) {
    SDL_AudioSpec spec = format;
    spec.samples = BufferFrames(spec.freq);
    spec.callback = Feed;
    spec.userdata = &playback_;
    return spec;
  }

  void CloseDevice() {
    if (device_ == 0) return;
    sdl_->CloseAudioDevice(device_);  // returns once the audio thread has ended
    device_ = 0;
    Replace(Sound{});
  }

  // Makes `sound` the one the callback reads, from its start, through `conversion` if any.
  void Replace(Sound sound, std::unique_ptr<SoundConversion> conversion = nullptr) {
    const std::uint64_t frames = sound.Length > 0 ? sound.Length / BytesPerFrame(sound.Format) : 0;
    WavSamples previous;
    std::unique_ptr<SoundConversion> previousConversion;  // reads `previous`: goes first
    if (device_ != 0) sdl_->LockAudioDevice(device_);
    previous = std::exchange(playback_.Samples, std::move(sound.Samples));
    previousConversion = std::exchange(playback_.Conversion, std::move(conversion));
    playback_.Length = sound.Length;
    playback_.Position = 0;
    playback_.Progress.Begin(frames, static_cast<std::uint32_t>(sound.Format.freq),
                             static_cast<std::uint32_t>(deviceFormat_.freq));
    if (device_ != 0) sdl_->UnlockAudioDevice(device_);
    // The previous sound goes on return, after the unlock: the callback can no longer reach it.
  }

  std::mutex mutex_;  // one caller at a time
  const SdlLibrary* sdl_ = nullptr;  // from the first play on; no device or audio before it
  bool audioStarted_ = false;
  SDL_AudioDeviceID device_ = 0;
  SDL_AudioSpec deviceFormat_{};
  Playback playback_;
  const std::function<void()> defaultSound_;
  const SoundConverter converter_;
};

SoundOutput::SoundOutput() : SoundOutput(Settings{}) {}

SoundOutput::SoundOutput(Settings settings) : player_(std::make_unique<DevicePlayer>(std::move(settings))) {}

SoundOutput::~SoundOutput() = default;

Status SoundOutput::Play(std::vector<std::uint8_t> image) { return player_->Play(std::move(image)); }

void SoundOutput::Stop() { player_->Stop(); }

bool SoundOutput::IsPlaying() const { return player_->Progress().Playing(); }

void SoundOutput::WaitForEnd() const { player_->Progress().WaitForEnd(); }

std::optional<PlayPosition> SoundOutput::Position() const { return player_->Progress().Read(); }

void SoundOutput::ShutDown() { player_->ShutDown(); }

}  // namespace Orvane
