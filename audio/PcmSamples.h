#pragma once
// The integer sample depths a bank holds, one type each: its size, its full scale and how its
// little-endian bytes load. The one place for what 8-bit unsigned and 16, 24 and 32-bit signed
// PCM mean; code that walks samples is instantiated per type, so that its inner loop has no
// branch on the format.
#include <cstdint>

#include "ByteOrder.h"

namespace Orvane::Audio {

struct Unsigned8 {
  static constexpr unsigned kBytes = 1;
  static constexpr double kFullScale = 128;  // 128 is silence
  static std::int32_t Load(const std::uint8_t* p) { return std::int32_t{p[0]} - 128; }
};
struct Signed16 {
  static constexpr unsigned kBytes = 2;
  static constexpr double kFullScale = 32768;
  static std::int32_t Load(const std::uint8_t* p) { return static_cast<std::int16_t>(LoadU16(p)); }
};
struct Signed24 {
  static constexpr unsigned kBytes = 3;
  static constexpr double kFullScale = 8388608;
  // The three bytes at the top of 32 bits, shifted back down: the shift carries the sign.
  static std::int32_t Load(const std::uint8_t* p) {
    const std::uint32_t u = p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    return static_cast<std::int32_t>(u << 8) >> 8;
  }
};
struct Signed32 {
  static constexpr unsigned kBytes = 4;
  static constexpr double kFullScale = 2147483648.0;
  static std::int32_t Load(const std::uint8_t* p) { return static_cast<std::int32_t>(LoadU32(p)); }
};

// Calls `f` with the type of `bits`-bit samples (8, 16, 24 or 32; the caller has checked).
template <typename F>
decltype(auto) WithPcmSample(unsigned bits, F&& f) {
  switch (bits) {
    case 8: return f(Unsigned8{});
    case 16: return f(Signed16{});
    case 24: return f(Signed24{});
    default: return f(Signed32{});
  }
}

}  // namespace Orvane::Audio
