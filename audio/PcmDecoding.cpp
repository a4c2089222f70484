#include "PcmDecoding.h"

#include <bit>
#include <cassert>
#include <cstddef>

#include "ByteOrder.h"
#include "PcmFormat.h"
#include "PcmSamples.h"

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
  WithPcmSample(bits, [&]<typename Sample>(Sample) {
    DecodeEach<Sample::kBytes>(bytes, out, [](const std::uint8_t* b) {
      return static_cast<float>(Sample::Load(b) * (1 / Sample::kFullScale));
    });
  });
}

}  // namespace Orvane::Audio
