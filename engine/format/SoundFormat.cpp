#include "SoundFormat.h"

#include <cmath>
#include <iomanip>

#include "Text.h"

namespace Orvane {
SoundFormat SoundFormat::Of(const TbSoundEntry& entry) {
  return {entry.SampleRate, entry.BitsPerSample, entry.NumChannels};
}

void SoundFormat::ApplyTo(TbSoundEntry& entry) const {
  entry.SampleRate = SampleRate;
  entry.BitsPerSample = BitsPerSample;
  entry.NumChannels = NumChannels;
}

Audio::PcmFormat SoundFormat::Pcm() const { return {RateHz(), BitsPerSample, NumChannels}; }

bool IsBankRate(double hz) {
  return std::isfinite(hz) && hz >= kMinBankRateHz && hz * 2 <= kMaxStoredRate;
}

std::string BankRatesText() {
  return Str("from ", kMinBankRateHz, " to ", HzOfStoredRate(kMaxStoredRate), " Hz");
}

Result<std::uint16_t> StoredRateOfHz(double hz) {
  const double twice = hz * 2;
  if (!IsBankRate(hz) || twice != std::floor(twice))
    return Result<std::uint16_t>::Error(
        ErrorKind::Unsupported,
        Str("a rate of ", hz, " Hz cannot be stored: a bank holds whole or half hertz ",
            BankRatesText()));
  return static_cast<std::uint16_t>(twice);
}

std::optional<double> SecondsOf(const TbSoundEntry& entry) {
  const SoundFormat format = SoundFormat::Of(entry);
  const unsigned frameBytes = format.Pcm().BytesPerFrame();
  if (frameBytes == 0 || format.SampleRate == 0) return std::nullopt;
  return static_cast<double>(entry.DataSize / frameBytes) / format.RateHz();
}

std::string RateText(double hz) { return Str(std::setprecision(10), hz, " Hz"); }

std::string ChannelsText(unsigned channels) {
  if (channels == 1) return "mono";
  if (channels == 2) return "stereo";
  return Str(channels, " channels");
}

std::string FormatText(const SoundFormat& format) {
  return Str(RateText(format.RateHz()), ' ', +format.BitsPerSample, "-bit ",
             ChannelsText(format.NumChannels));
}

}  // namespace Orvane
