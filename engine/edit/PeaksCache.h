#pragma once
// The peaks of the sounds a view has drawn lately, so that going back to a sound, or undoing
// the edit that replaced it, draws at once. An entry holds its samples' store only weakly: when
// the store is gone, so is the entry's claim to it, and the same address read again is a new
// sound.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "SoundPeaks.h"
#include "SoundSlot.h"

namespace Orvane {

class PeaksCache {
 public:
  // The peaks of `samples` as `bitsPerSample`-bit frames of `channels` channels.
  Result<std::shared_ptr<const SoundPeaks>> Get(const SampleRef& samples, unsigned bitsPerSample,
                                                unsigned channels);
  void Clear() { entries_.clear(); }

 private:
  static constexpr std::size_t kEntries = 32;  // a few MB at most, even for long sounds
  struct Entry {
    SampleMark Samples;
    unsigned Bits = 0, Channels = 0;
    std::shared_ptr<const SoundPeaks> Peaks;
  };
  std::vector<Entry> entries_;  // the most recently used last
};

}  // namespace Orvane
