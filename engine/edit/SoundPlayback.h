#pragma once
// Playback of an editor's sounds on the sound output it was given: a sound at a time, and how
// far it has got.
#include <cstdint>
#include <optional>

#include "SoundSlot.h"
#include "Status.h"

namespace Orvane {

class CSoundEditor;
class SoundOutput;

class SoundPlayback {
 public:
  // `output` may be null: then every play fails (NoDevice).
  SoundPlayback(const CSoundEditor& bank, SoundOutput* output) : bank_(bank), output_(output) {}

  // Starts playing sound `index` and returns at once. Passes on the output's Unsupported (the
  // default sound played instead) and NoDevice, naming the sound.
  Status Play(std::uint32_t index);
  // Silences the sound that plays; true when one was playing.
  bool Stop();
  bool IsPlaying() const;
  // Returns once no sound plays.
  void WaitForEnd() const;
  // How far sound `index` has played, in seconds from its start; nothing unless its samples
  // are the ones playing (a sound replaced since it started is another sound).
  std::optional<double> PlayedSeconds(std::uint32_t index) const;

 private:
  const CSoundEditor& bank_;
  SoundOutput* output_;
  SampleMark played_;  // the samples the last play started
};

}  // namespace Orvane
