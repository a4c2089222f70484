#pragma once
// The levels (sample peak, loudness) of an editor's sounds: measured when asked for, and kept
// for the samples they were measured on, so that an edit's new samples are measured anew and
// undoing it finds the old levels again. Safe to use from any thread.
#include <cstdint>
#include <optional>

#include "LevelsCache.h"
#include "Loudness.h"
#include "Status.h"

namespace Orvane {

class CSoundEditor;

class SoundLevels {
 public:
  explicit SoundLevels(const CSoundEditor& bank) : bank_(bank) {}

  // Sound `index`'s levels, when they were measured for the samples it holds now.
  std::optional<Audio::Levels> Known(std::uint32_t index) const;
  // Measures `sound` (from the editor's SamplesOf) and keeps its levels for Known.
  Result<Audio::Levels> Measure(const SoundSamples& sound) const;
  // The loudness sound `index` has, for a replacement to match: -inf for a silent sound; fails
  // for a damaged one or one whose format cannot be measured. Measured when not known yet.
  Result<double> LoudnessOf(std::uint32_t index) const;
  void Clear() { cache_.Clear(); }

 private:
  const CSoundEditor& bank_;
  mutable LevelsCache cache_;
};

}  // namespace Orvane
