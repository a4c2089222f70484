#pragma once
// Samples in memory to float: little-endian, 8-bit unsigned, 16, 24 or 32-bit signed, or 32 or
// 64-bit float. Integers are scaled by 2^(bits-1), as every decoder here gives them.
#include <cstdint>
#include <span>

namespace Orvane::Audio {

// True for the formats DecodePcm reads.
bool IsDecodablePcm(unsigned bits, bool isFloat);

// `out` holds one float for each sample of `bytes`, which holds whole samples of the format.
void DecodePcm(std::span<const std::uint8_t> bytes, unsigned bits, bool isFloat,
               std::span<float> out);

}  // namespace Orvane::Audio
