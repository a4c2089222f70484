#pragma once
// The sample format of a sound as a bank stores it: PCM, channels interleaved, little-endian,
// 8-bit unsigned or 16, 24 or 32-bit signed.
#include <cstdint>

namespace Orvane::Audio {

struct PcmFormat {
  double Rate = 0;  // hertz; a bank can hold a half hertz
  unsigned Bits = 16;
  unsigned Channels = 1;

  unsigned BytesPerFrame() const { return Bits / 8 * Channels; }
  bool operator==(const PcmFormat&) const = default;
};

// 8, 16, 24 and 32: the depths the quantiser writes.
constexpr bool IsPcmDepth(unsigned bits) {
  return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace Orvane::Audio
