#pragma once
// The waveform peaks of an editor's sounds, computed when first drawn and kept for the sounds
// drawn lately.
#include <cstdint>
#include <memory>

#include "PeaksCache.h"
#include "SoundPeaks.h"
#include "Status.h"

namespace Orvane {

class CSoundEditor;

class SoundWaveforms {
 public:
  explicit SoundWaveforms(const CSoundEditor& bank) : bank_(bank) {}

  // The peaks of sound `index`; a damaged sound's reason, as SampleData gives it.
  Result<std::shared_ptr<const SoundPeaks>> Peaks(std::uint32_t index) const;
  void Clear() { cache_.Clear(); }

 private:
  const CSoundEditor& bank_;
  mutable PeaksCache cache_;
};

}  // namespace Orvane
