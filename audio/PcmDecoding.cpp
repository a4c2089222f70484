#include "PcmDecoding.h"

#include <bit>
#include <cassert>
#include <cstddef>

#include "ByteOrder.h"
#include "PcmFormat.h"

namespace Orvane::Audio {
namespace {

template <unsigned Bytes, typename Sample>
void DecodeEach(std::span<const std::uint8_t> bytes, std::span<float> out, Sample sample) {
  const std::uint8_t* p = bytes.data();
  for (float& x : out) {
    x = sample(p);
    p += Bytes;
  }
}

}  // namespace

bool IsDecodablePcm(unsigned bits, bool isFloat) {
  return isFloat ? bits == 32 || bits == 64 : IsPcmDepth(bits);
}

void DecodePcm(std::span<const std::uint8_t> bytes, unsigned bits, bool isFloat,
               std::span<float> out) {
  assert(IsDecodablePcm(bits, isFloat) && bytes.size() == out.size() * (bits / 8));
  if (isFloat && bits == 32)
    return DecodeEach<4>(bytes, out, [](const std::uint8_t* b) {
      return std::bit_cast<float>(LoadU32(b));
    });
  if (isFloat)
    return DecodeEach<8>(bytes, out, [](const std::uint8_t* b) {
      return static_cast<float>(std::bit_cast<double>(LoadU64(b)));
    });
  switch (bits) {
    case 8:
      return DecodeEach<1>(bytes, out, [](const std::uint8_t* b) { return (b[0] - 128) / 128.0f; });
    case 16:
      return DecodeEach<2>(bytes, out, [](const std::uint8_t* b) {
        return static_cast<std::int16_t>(LoadU16(b)) / 32768.0f;
      });
    case 24:
      return DecodeEach<3>(bytes, out, [](const std::uint8_t* b) {
        const auto v = static_cast<std::int32_t>(
            (std::uint32_t{b[0]} << 8) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 24));
        return static_cast<float>(v / 2147483648.0);
      });
    default:
      return DecodeEach<4>(bytes, out, [](const std::uint8_t* b) {
        return static_cast<float>(static_cast<std::int32_t>(LoadU32(b)) / 2147483648.0);
      });
  }
}

}  // namespace Orvane::Audio
