#include "PeaksCache.h"

#include <algorithm>

namespace Orvane {

Result<std::shared_ptr<const SoundPeaks>> PeaksCache::Get(const SampleRef& samples,
                                                          unsigned bitsPerSample,
                                                          unsigned channels) {
  using Answer = Result<std::shared_ptr<const SoundPeaks>>;
  // Entries whose store is gone can never match again.
  std::erase_if(entries_, [](const Entry& e) { return e.Samples.Expired(); });
  const auto hit = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
    return e.Samples.Marks(samples) && e.Bits == bitsPerSample && e.Channels == channels;
  });
  if (hit != entries_.end()) {
    std::rotate(hit, hit + 1, entries_.end());
    return Answer(entries_.back().Peaks);
  }
  auto peaks = ComputePeaks(samples.Bytes, bitsPerSample, channels);
  if (!peaks) return Answer(peaks.status());
  if (entries_.size() == kEntries) entries_.erase(entries_.begin());
  entries_.push_back({SampleMark(samples), bitsPerSample, channels,
                      std::make_shared<const SoundPeaks>(std::move(*peaks))});
  return Answer(entries_.back().Peaks);
}

}  // namespace Orvane
