#include "Quantiser.h"

#include <algorithm>
#include <cassert>
#include <cmath>

#include "ByteOrder.h"
#include "PcmFormat.h"

namespace Orvane::Audio {
namespace {

constexpr std::uint64_t kDitherSeed = 0x6F7276616E650001ull;

}  // namespace

Quantiser::Quantiser(unsigned bits, bool dither)
    : bits_(bits), dither_(dither), state_(kDitherSeed) {
  assert(IsPcmDepth(bits));
}

double Quantiser::NextDither() {
  // SplitMix64: one 64-bit draw gives both uniform values, one per 32-bit half.
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  constexpr double kUnit = 1.0 / 4294967296.0;
  return (static_cast<double>(z >> 32) + static_cast<double>(z & 0xFFFFFFFFu)) * kUnit - 1.0;
}

template <unsigned Bits, bool Dither>
std::size_t Quantiser::EncodeAs(std::span<const float> samples, std::uint8_t* out) {
  constexpr double kScale = static_cast<double>(std::int64_t{1} << (Bits - 1));
  constexpr double kMin = -kScale;
  constexpr double kMax = kScale - 1;
  std::size_t clipped = 0;
  for (const float sample : samples) {
    // Double keeps a 32-bit sample's low bits, which float does not have.
    double x = sample;
    if (!(x >= -1.0 && x <= 1.0)) {  // also a NaN, which a resampler fed huge values can make
      ++clipped;
      x = x > 0 ? 1.0 : x < 0 ? -1.0 : 0.0;
    }
    x *= kScale;
    if constexpr (Dither) x += NextDither();
    // rint rounds to nearest and, unlike nearbyint and lrint, is inlined.
    const auto q = static_cast<std::int32_t>(std::clamp(std::rint(x), kMin, kMax));
    if constexpr (Bits == 8) {
      *out = static_cast<std::uint8_t>(q + 128);
    } else if constexpr (Bits == 16) {
      StoreU16(out, static_cast<std::uint16_t>(q));
    } else if constexpr (Bits == 24) {
      StoreU24(out, static_cast<std::uint32_t>(q));
    } else {
      StoreU32(out, static_cast<std::uint32_t>(q));
    }
    out += Bits / 8;
  }
  return clipped;
}

template <unsigned Bits>
std::size_t Quantiser::EncodeDepth(std::span<const float> samples, std::uint8_t* out) {
  return dither_ ? EncodeAs<Bits, true>(samples, out) : EncodeAs<Bits, false>(samples, out);
}

std::size_t Quantiser::Encode(std::span<const float> samples, std::span<std::uint8_t> bytes) {
  assert(bytes.size() == samples.size() * BytesPerSample());
  std::uint8_t* out = bytes.data();
  switch (bits_) {
    case 8: return EncodeDepth<8>(samples, out);
    case 16: return EncodeDepth<16>(samples, out);
    case 24: return EncodeDepth<24>(samples, out);
    default: return EncodeDepth<32>(samples, out);
  }
}

}  // namespace Orvane::Audio
