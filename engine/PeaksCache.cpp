#include "PeaksCache.h"

#include <algorithm>

namespace Orvane {

Result<std::shared_ptr<const SoundPeaks>> PeaksCache::Get(const SampleRef& samples,
                                                          unsigned bitsPerSample,
                                                          unsigned channels) {
  using Answer = Result<std::shared_ptr<const SoundPeaks>>;
  // Entries whose store is gone can never match again.
  std::erase_if(entries_, [](const Entry& e) { return e.Owner.expired(); });
  const auto hit = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
    return e.Samples.SameAs(samples) && e.Bits == bitsPerSample && e.Channels == channels &&
           !e.Owner.owner_before(samples.Owner) && !samples.Owner.owner_before(e.Owner);
  });
  if (hit != entries_.end()) {
    std::rotate(hit, hit + 1, entries_.end());
    return Answer(entries_.back().Peaks);
  }
  auto peaks = ComputePeaks(samples.Bytes, bitsPerSample, channels);
  if (!peaks) return Answer(peaks.status());
  if (entries_.size() == kEntries) entries_.erase(entries_.begin());
  entries_.push_back({samples.Owner, {nullptr, samples.Bytes}, bitsPerSample, channels,
                      std::make_shared<const SoundPeaks>(std::move(*peaks))});
  return Answer(entries_.back().Peaks);
}

}  // namespace Orvane
