#include "SoundEditor.h"

#include "SoundFormat.h"
#include "SoundOutput.h"
#include "Text.h"

namespace Orvane {

Status CSoundEditor::Play(std::uint32_t index) {
  auto image = BuildPlayImage(index);
  if (!image) return Status::Error(Str("cannot play: ", image.message()));
  // The output keeps the image for as long as it plays; the bank may change meanwhile.
  const PlayResult played = PlaySoundImage(std::move(*image));
  if (played.Outcome == PlayOutcome::Played) {
    played_ = SampleMark(m_Entries[index].Samples);
    return Status::Ok();
  }
  if (played.Outcome == PlayOutcome::NoDevice)
    return Status::Error(Str("cannot play sound ", index, ": ", played.Reason));
  const TbSoundEntry& entry = Entry(index).Entry;
  return Status::Error(
      Str("cannot play sound ", index, " (", +entry.BitsPerSample, "-bit, ", +entry.NumChannels,
          entry.NumChannels == 1 ? " channel, " : " channels, ", WaveRateOf(entry.SampleRate),
          " Hz): ", played.Reason, "; the default sound played instead"));
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
  if (!position || position->Rate == 0) return std::nullopt;
  return static_cast<double>(position->FramesPlayed) / position->Rate;
}

}  // namespace Orvane
