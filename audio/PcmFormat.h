#pragma once
// The sample format of a sound as a bank stores it: PCM, channels interleaved, little-endian,
// 8-bit unsigned or 16, 24 or 32-bit signed, 1 to 255 channels.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "Text.h"

namespace Orvane::Audio {

struct PcmFormat {
  double RateHz = 0;  // a bank can hold a half hertz
  unsigned Bits = 16;
  unsigned Channels = 1;

  unsigned BytesPerFrame() const { return Bits / 8 * Channels; }
  bool operator==(const PcmFormat&) const = default;
};

// The depths the quantiser writes and every PCM reader here reads.
inline constexpr std::array<unsigned, 4> kPcmDepths = {8, 16, 24, 32};
constexpr bool IsPcmDepth(unsigned bits) {
  for (unsigned depth : kPcmDepths)
    if (bits == depth) return true;
  return false;
}

// "8, 16, 24 or 32": the depths as a sentence lists them, `last` before the last one.
inline std::string PcmDepthsText(std::string_view last = "or") {
  std::string text;
  for (std::size_t i = 0; i < kPcmDepths.size(); ++i)
    text += Str(i == 0 ? "" : i + 1 == kPcmDepths.size() ? Str(' ', last, ' ') : ", ", kPcmDepths[i]);
  return text;
}

// A channel count is stored in one byte.
inline constexpr unsigned kMaxPcmChannels = 255;

}  // namespace Orvane::Audio
