#include "SoundEditor.h"

#include "SoundFormat.h"
#include "SoundOutput.h"
#include "Text.h"

namespace Orvane {

Status CSoundEditor::Play(std::uint32_t index) {
  auto image = BuildPlayImage(index);
  if (!image) return image.status().Prefixed("cannot play: ");
  // The output keeps the image for as long as it plays; the bank may change meanwhile.
  const Status played = PlaySoundImage(std::move(*image));
  if (played) {
    played_ = SampleMark(m_Entries[index].Samples);
    return played;
  }
  const Where where{path_.string(), index, {}};
  if (played.kind() == ErrorKind::NoDevice)
    return played.Prefixed(Str("cannot play sound ", index, ": ")).At(where);
  const TbSoundEntry& entry = Entry(index).Entry;
  return played
      .Prefixed(Str("cannot play sound ", index, " (", +entry.BitsPerSample, "-bit, ",
                    +entry.NumChannels, entry.NumChannels == 1 ? " channel, " : " channels, ",
                    WholeHzOfStoredRate(entry.SampleRate), " Hz): "))
      .Suffixed("; the default sound played instead")
      .At(where);
}

bool CSoundEditor::Stop() {
  const bool playing = IsSoundPlaying();
  StopSound();
  return playing;
}

bool CSoundEditor::IsPlaying() const { return IsSoundPlaying(); }

std::optional<double> CSoundEditor::PlayedSeconds(std::uint32_t index) const {
  if (index >= m_Count || !played_.Marks(m_Entries[index].Samples)) return std::nullopt;
  const auto position = CurrentPlayPosition();
  if (!position || position->RateHz == 0) return std::nullopt;
  return static_cast<double>(position->FramesPlayed) / position->RateHz;
}

}  // namespace Orvane
