#include "SoundPlayback.h"

#include "PathUtf8.h"
#include "SoundEditor.h"
#include "SoundExport.h"
#include "SoundFormat.h"
#include "SoundOutput.h"
#include "Text.h"

namespace Orvane {

Status SoundPlayback::Play(std::uint32_t index) {
  auto image = SoundImage(bank_, index);
  if (!image) return image.status().Prefixed("cannot play: ");
  const Where where{PathToUtf8(bank_.BankPath()), index, {}};
  if (output_ == nullptr)
    return Status::Error(ErrorKind::NoDevice, Str("cannot play sound ", index, ": nothing plays here"), where);
  // The output keeps the image for as long as it plays; the bank may change meanwhile.
  const Status played = output_->Play(std::move(*image));
  if (played) {
    played_ = SampleMark(bank_.Sound(index).Samples);
    return played;
  }
  if (played.kind() == ErrorKind::NoDevice)
    return played.Prefixed(Str("cannot play sound ", index, ": ")).At(where);
  const TbSoundEntry& entry = bank_.Sound(index).Element.Entry;
  return played
      .Prefixed(Str("cannot play sound ", index, " (", +entry.BitsPerSample, "-bit, ",
                    +entry.NumChannels, entry.NumChannels == 1 ? " channel, " : " channels, ",
                    WholeHzOfStoredRate(entry.SampleRate), " Hz): "))
      .Suffixed("; the default sound played instead")
      .At(where);
}

bool SoundPlayback::Stop() {
  if (output_ == nullptr) return false;
  const bool playing = output_->IsPlaying();
  output_->Stop();
  return playing;
}

bool SoundPlayback::IsPlaying() const { return output_ != nullptr && output_->IsPlaying(); }

void SoundPlayback::WaitForEnd() const {
  if (output_ != nullptr) output_->WaitForEnd();
}

std::optional<double> SoundPlayback::PlayedSeconds(std::uint32_t index) const {
  if (output_ == nullptr || index >= bank_.Count() || !played_.Marks(bank_.Sound(index).Samples))
    return std::nullopt;
  const auto position = output_->Position();
  if (!position || position->RateHz == 0) return std::nullopt;
  return static_cast<double>(position->FramesPlayed) / position->RateHz;
}

}  // namespace Orvane
