#pragma once
// The levels (sample peak, loudness) of sounds measured so far, recognised by their samples'
// store as the waveform peaks are: an edit's new samples are measured anew, and undoing it finds
// the old levels again. Measuring is slow enough to run off the window's thread, so this one is
// safe to use from any thread.
#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

#include "Loudness.h"
#include "SoundFormat.h"
#include "SoundSlot.h"

namespace Orvane {

// A sound's samples and their format, taken where the bank is edited and kept alive by this
// for as long as a measurement or a view elsewhere needs them.
struct SoundSamples {
  SampleRef Samples;
  SoundFormat Format;
};

// Measures the sound: at their own rate, every format a bank holds.
Result<Audio::Levels> MeasureLevels(const SoundSamples& sound);

class LevelsCache {
 public:
  std::optional<Audio::Levels> Find(const SampleRef& samples, const SoundFormat& format) const;
  void Keep(const SoundSamples& sound, const Audio::Levels& levels);
  void Clear();

 private:
  struct Entry {
    SampleMark Samples;
    SoundFormat Format;
    Audio::Levels Levels;
  };
  static constexpr std::size_t kFirstSweep = 1024;
  mutable std::mutex mutex_;
  std::unordered_map<const std::uint8_t*, Entry> entries_;  // by the samples' first byte
  std::size_t sweepAt_ = kFirstSweep;
};

}  // namespace Orvane
