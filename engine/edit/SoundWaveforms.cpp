#include "SoundWaveforms.h"

#include "SoundEditor.h"

namespace Orvane {

Result<std::shared_ptr<const SoundPeaks>> SoundWaveforms::Peaks(std::uint32_t index) const {
  if (auto samples = bank_.SampleData(index); !samples) return samples.status();
  const SoundSlot& sound = bank_.Sound(index);
  return cache_.Get(sound.Samples, sound.Element.Entry.BitsPerSample, sound.Element.Entry.NumChannels);
}

}  // namespace Orvane
