#pragma once
// The sound output: plays one complete WAVE image from memory at a time, asynchronously, the
// way the game's own platform plays a sound from memory. Each SoundOutput is a player of its
// own, on a device of its own: a front end makes one for each bank it plays from, and hands
// it to that bank's editor, so that one bank's sound never stops another's.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SoundConversion.h"
#include "Status.h"

namespace Orvane {

// The lowest rate a sound plays at: lower rates only come from damaged headers, and a device
// buffer at such a rate lasts long enough to stall every stop and every close.
inline constexpr std::uint32_t kLowestPlayableRateHz = 100;

struct PlayPosition {
  // In the sound's own frames: those handed to the device before its last buffer, and as much
  // of that buffer as its time has passed since.
  std::uint64_t FramesPlayed = 0;
  std::uint64_t Frames = 0;    // the whole sound
  std::uint32_t RateHz = 0;    // the sound's own, in hertz
};

class DevicePlayer;

class SoundOutput {
 public:
  struct Settings {
    // What brings a sound to the format the device plays; without one, nothing converts.
    SoundConverter Converter = {};
    // What sounds instead of an image the output refuses: the system's default sound, which a
    // front end supplies (a terminal bell, a toolkit's beep). Without one, nothing sounds.
    std::function<void()> DefaultSound = {};
  };

  SoundOutput();
  explicit SoundOutput(Settings settings);
  // Stops any sound, lets the device drain and closes it.
  ~SoundOutput();
  SoundOutput(const SoundOutput&) = delete;
  SoundOutput& operator=(const SoundOutput&) = delete;

  // Plays `image`, a whole WAVE file in memory, once, and returns as soon as it has started. A
  // sound still playing is stopped first. The image is the player's from the call on and is
  // released once the device can no longer read it. Fails (Unsupported) for an image that
  // describes a sound the output cannot play, after the default sound has sounded, and
  // (NoDevice) when there is no audio device to play on; the next play tries again.
  //
  // The first sound opens the device in its own format and reaches it byte for byte, as does
  // every later sound of that format. A sound of another format is converted to the device's as
  // it plays, by the settings' converter; without one, or when it cannot convert, the device is
  // reopened in the sound's format, which takes tens of milliseconds.
  Status Play(std::vector<std::uint8_t> image);
  // Silences the sound that is playing, if any; the device stays open for the next play.
  void Stop();
  // True from a play until the device has been handed the sound's last sample, or the sound
  // was stopped.
  bool IsPlaying() const;
  // Returns once no sound is playing.
  void WaitForEnd() const;
  // How far the playing sound has got; nothing when no sound plays. Takes no lock the audio
  // thread takes, so any thread may ask as often as it likes.
  std::optional<PlayPosition> Position() const;
  // Stops any sound, lets the device drain and closes it; the next play opens it again.
  void ShutDown();

 private:
  std::unique_ptr<DevicePlayer> player_;
};

}  // namespace Orvane
