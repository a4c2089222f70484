#pragma once
// The sound output: plays one complete WAVE image from memory at a time, asynchronously, the
// way the game's own platform plays a sound from memory. One process-wide player serves every
// caller; it is started by the first play and shut down at exit.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Orvane {

enum class PlayOutcome {
  Played,    // the sound has started and plays on while the caller goes on
  Refused,   // the image describes a sound the output cannot play; the default sound sounded
  NoDevice,  // there is no audio device to play on; the next play tries again
};

struct PlayResult {
  PlayOutcome Outcome = PlayOutcome::Played;
  std::string Reason;  // why the sound did not play; empty when it did
};

// Plays `image`, a whole WAVE file in memory, once, in the format its header gives, and returns
// as soon as it has started. A sound still playing is stopped first. The image is the player's
// from the call on and is released once the device can no longer read it.
PlayResult PlaySoundImage(std::vector<std::uint8_t> image);

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

// Stops any sound, lets the device drain and shuts the audio system down; the next play starts
// it again. Runs by itself at exit.
void ShutDownSoundOutput();

}  // namespace Orvane
