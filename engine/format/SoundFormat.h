#pragma once
// A sound's format as a bank stores it (twice the rate, bits, channels) and the one place for
// the rules of what a bank can hold.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "PcmFormat.h"
#include "SoundOutput.h"
#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

// A bank stores a rate as twice its hertz in 16 bits (SampleRate), so a rate can be a half
// hertz and the highest is 32,767.5 Hz. The lowest is the lowest that plays.
inline constexpr std::uint16_t kMaxStoredRate = 0xFFFF;
inline constexpr std::uint32_t kMaxBankRateHz = kMaxStoredRate / 2;  // the highest whole rate
inline constexpr std::uint32_t kMinBankRateHz = kLowestPlayableRateHz;
// Channels and bits per sample are stored in one byte each.
inline constexpr std::uint32_t kMaxByteField = std::numeric_limits<std::uint8_t>::max();
inline constexpr std::uint32_t kMaxChannels = Audio::kMaxPcmChannels;
static_assert(kMaxChannels == kMaxByteField);
// What a file that does not fit a bank becomes when no format is asked for.
inline constexpr std::uint32_t kDefaultRateHz = 22050;
inline constexpr std::uint8_t kDefaultBits = 16;
inline constexpr std::uint8_t kDefaultMaxChannels = 2;

// The rate a stored SampleRate means, exactly: an odd one is a half hertz.
inline constexpr double HzOfStoredRate(std::uint16_t stored) { return stored / 2.0; }
// The whole hertz a WAVE header gives for a stored SampleRate: a half hertz is dropped.
inline constexpr std::uint32_t WholeHzOfStoredRate(std::uint16_t stored) { return stored >> 1; }
// The stored SampleRate of a whole rate a bank holds (at most kMaxBankRateHz).
inline constexpr std::uint16_t StoredRateOfWholeHz(std::uint32_t hz) {
  return static_cast<std::uint16_t>(hz * 2);
}
// The rates a bank holds, the one rule every check of a rate follows: kMinBankRateHz to the
// highest its field stores, 32,767.5 Hz.
bool IsBankRate(double hz);
// "from 100 to 32767.5 Hz"
std::string BankRatesText();
// The stored SampleRate of `hz`; fails (Unsupported) unless it is a bank rate and a whole or
// half hertz.
Result<std::uint16_t> StoredRateOfHz(double hz);

struct SoundFormat {
  std::uint16_t SampleRate = 0;  // as stored: twice the rate in hertz
  std::uint8_t BitsPerSample = 0;
  std::uint8_t NumChannels = 0;

  static SoundFormat Of(const TbSoundEntry& entry);
  void ApplyTo(TbSoundEntry& entry) const;
  // The rate exactly: an odd SampleRate is a half hertz.
  double RateHz() const { return HzOfStoredRate(SampleRate); }
  Audio::PcmFormat Pcm() const;

  bool operator==(const SoundFormat&) const = default;
};

// How long `entry`'s samples last, in seconds: whole frames over the exact rate. Nothing for a
// header whose format gives no length (no rate, no whole bytes per frame).
std::optional<double> SecondsOf(const TbSoundEntry& entry);

// "22050 Hz", "11025.5 Hz".
std::string RateText(double hz);
// "mono", "stereo", "6 channels".
std::string ChannelsText(unsigned channels);
// "22050 Hz 16-bit stereo".
std::string FormatText(const SoundFormat& format);

}  // namespace Orvane
