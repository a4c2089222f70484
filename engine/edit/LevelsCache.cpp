#include "LevelsCache.h"

#include <algorithm>

namespace Orvane {

Result<Audio::Levels> MeasureLevels(const SoundSamples& sound) {
  return Audio::MeasurePcm(sound.Samples.Bytes, sound.Format.Pcm());
}

std::optional<Audio::Levels> LevelsCache::Find(const SampleRef& samples,
                                               const SoundFormat& format) const {
  std::lock_guard lock(mutex_);
  const auto found = entries_.find(samples.Bytes.data());
  if (found == entries_.end() || !found->second.Samples.Marks(samples) ||
      !(found->second.Format == format))
    return std::nullopt;
  return found->second.Levels;
}

void LevelsCache::Keep(const SoundSamples& sound, const Audio::Levels& levels) {
  std::lock_guard lock(mutex_);
  // Entries of stores that are gone go once the map has doubled since the last sweep.
  if (entries_.size() >= sweepAt_) {
    std::erase_if(entries_, [](const auto& entry) { return entry.second.Samples.Expired(); });
    sweepAt_ = std::max<std::size_t>(kFirstSweep, 2 * entries_.size());
  }
  entries_.insert_or_assign(sound.Samples.Bytes.data(), Entry{SampleMark(sound.Samples), sound.Format, levels});
}

void LevelsCache::Clear() {
  std::lock_guard lock(mutex_);
  entries_.clear();
  sweepAt_ = kFirstSweep;
}

}  // namespace Orvane
