#include "SoundLevels.h"

#include "SoundEditor.h"
#include "Text.h"

namespace Orvane {

std::optional<Audio::Levels> SoundLevels::Known(std::uint32_t index) const {
  if (index >= bank_.Count()) return std::nullopt;
  const SoundSlot& sound = bank_.Sound(index);
  return cache_.Find(sound.Samples, SoundFormat::Of(sound.Element.Entry));
}

Result<Audio::Levels> SoundLevels::Measure(const SoundSamples& sound) const {
  auto levels = MeasureLevels(sound);
  if (levels) cache_.Keep(sound, *levels);
  return levels;
}

Result<double> SoundLevels::LoudnessOf(std::uint32_t index) const {
  // The slot itself, not SamplesOf: that may lay out offsets, and this runs on many threads.
  const SoundSlot& sound = bank_.Sound(index);
  if (sound.Element.Damaged())
    return Result<double>::Error(ErrorKind::Damaged, Str("it is damaged: ", sound.Element.Damage));
  const SoundSamples job{sound.Samples, SoundFormat::Of(sound.Element.Entry)};
  if (auto known = cache_.Find(job.Samples, job.Format)) return known->LoudnessLufs;
  auto measured = Measure(job);
  if (!measured) return measured.status();
  return measured->LoudnessLufs;
}

}  // namespace Orvane
