#pragma once
// Float samples to PCM bytes: clipped to full scale, TPDF-dithered when asked, scaled by
// 2^(bits-1), rounded to nearest and written little-endian (8-bit offset to unsigned).
#include <cstddef>
#include <cstdint>
#include <span>

namespace Orvane::Audio {

class Quantiser {
 public:
  // `bits` is 8, 16, 24 or 32. The dither generator starts from the same seed every time, so
  // that the same samples always give the same bytes.
  Quantiser(unsigned bits, bool dither);

  unsigned BytesPerSample() const { return bits_ / 8; }
  // Fills `bytes` (samples.size() * BytesPerSample() bytes); answers how many samples lay beyond
  // full scale and were clipped.
  std::size_t Encode(std::span<const float> samples, std::span<std::uint8_t> bytes);

 private:
  // Loops made for each depth and for dither on or off, so that neither is decided per sample.
  template <unsigned Bits>
  std::size_t EncodeDepth(std::span<const float> samples, std::uint8_t* out);
  template <unsigned Bits, bool Dither>
  std::size_t EncodeAs(std::span<const float> samples, std::uint8_t* out);
  // Triangular noise in (-1, 1) LSB: the sum of two independent uniform values in [-0.5, 0.5).
  double NextDither();

  unsigned bits_;
  bool dither_;
  std::uint64_t state_;
};

}  // namespace Orvane::Audio
