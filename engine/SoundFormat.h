#pragma once
// A sound's format as a bank stores it (twice the rate, bits, channels) and the one place for
// the rules of what a bank can hold.
#include <cstdint>
#include <string>

#include "PcmFormat.h"
#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

struct SoundFormat {
  std::uint16_t SampleRate = 0;  // as stored: twice the rate in hertz
  std::uint8_t BitsPerSample = 0;
  std::uint8_t NumChannels = 0;

  static SoundFormat Of(const TbSoundEntry& entry);
  void ApplyTo(TbSoundEntry& entry) const;
  // The rate exactly: an odd SampleRate is a half hertz.
  double RateHz() const { return SampleRate / 2.0; }
  Audio::PcmFormat Pcm() const;

  bool operator==(const SoundFormat&) const = default;
};

// The highest whole rate a bank holds: twice it must fit the 16-bit SampleRate.
inline constexpr std::uint32_t kMaxBankRate = 32767;
// A bank stores at most 255 channels and bits per sample (one byte each).
inline constexpr std::uint32_t kMaxByteField = 255;
// What a file that does not fit a bank becomes when no format is asked for.
inline constexpr std::uint16_t kDefaultSampleRate = 44100;  // 22,050 Hz
inline constexpr std::uint8_t kDefaultBits = 16;
inline constexpr std::uint8_t kDefaultMaxChannels = 2;

// The whole hertz a WAVE header gives for a stored SampleRate: a half hertz is dropped.
inline constexpr std::uint32_t WaveRateOf(std::uint16_t stored) { return stored >> 1; }
// The stored SampleRate of a whole rate a bank holds (at most kMaxBankRate).
inline constexpr std::uint16_t StoredRateOf(std::uint32_t hz) {
  return static_cast<std::uint16_t>(hz * 2);
}

// The stored SampleRate of `hz`; fails (Unsupported) unless it is a whole or half hertz from
// 100 Hz (the lowest rate playback takes) to 32,767.5 Hz.
Result<std::uint16_t> StoredSampleRate(double hz);

// "22050 Hz", "11025.5 Hz".
std::string RateText(double hz);
// "mono", "stereo", "6 channels".
std::string ChannelsText(unsigned channels);
// "22050 Hz 16-bit stereo".
std::string FormatText(const SoundFormat& format);

}  // namespace Orvane
