#pragma once
// The sound output: plays one complete WAVE image from memory at a time, asynchronously, the
// way the game's own platform plays a sound from memory. One process-wide player serves every
// caller; it is started by the first play and shut down at exit.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SoundConversion.h"
#include "Status.h"

namespace Orvane {

// The lowest rate a sound plays at: lower rates only come from damaged headers, and a device
// buffer at such a rate lasts long enough to stall every stop and every close.
inline constexpr std::uint32_t kLowestPlayableRateHz = 100;

// Plays `image`, a whole WAVE file in memory, once, and returns as soon as it has started. A
// sound still playing is stopped first. The image is the player's from the call on and is
// released once the device can no longer read it. Fails (Unsupported) for an image that
// describes a sound the output cannot play, after the default sound has sounded, and
// (NoDevice) when there is no audio device to play on; the next play tries again.
//
// The first sound opens the device in its own format and reaches it byte for byte, as does
// every later sound of that format. A sound of another format is converted to the device's as
// it plays, by the converter SetSoundConverter installed; without one, or when it cannot
// convert, the device is reopened in the sound's format, which takes tens of milliseconds.
Status PlaySoundImage(std::vector<std::uint8_t> image);

// What brings a sound to the format the device plays; nothing converts until one is set.
void SetSoundConverter(SoundConverter converter);

// What sounds instead of an image the output refuses: the system's default sound, which a front
// end supplies (a terminal bell, a toolkit's beep). Nothing sounds until one is set.
void SetDefaultSound(std::function<void()> sound);

// Silences the sound that is playing, if any; the device stays open for the next play.
void StopSound();

// True from a play until the device has been handed the sound's last sample, or the sound was
// stopped.
bool IsSoundPlaying();
// Returns once no sound is playing.
void WaitForSoundEnd();

struct PlayPosition {
  // In the sound's own frames: those handed to the device before its last buffer, and as much
  // of that buffer as its time has passed since.
  std::uint64_t FramesPlayed = 0;
  std::uint64_t Frames = 0;        // the whole sound
  std::uint32_t RateHz = 0;          // the sound's own, in hertz
};
// How far the playing sound has got; nothing when no sound plays. Takes no lock the audio
// thread takes, so any thread may ask as often as it likes.
std::optional<PlayPosition> CurrentPlayPosition();

// Stops any sound, lets the device drain and shuts the audio system down; the next play starts
// it again. Runs by itself at exit.
void ShutDownSoundOutput();

}  // namespace Orvane
