#pragma once
// The synthetic banks the benchmarks time: N sounds of S sample bytes each, 22,050 Hz 16-bit
// mono, named snd00000, snd00001, ..., each with its own deterministic tone.
#include <cstdint>
#include <filesystem>
#include <span>

#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane::Bench {

// The bank header of sound `index` holding `dataSize` sample bytes.
TbSoundEntry BenchSoundHeader(std::uint32_t index, std::uint32_t dataSize);

// The sample bytes of sound `index`: a triangle wave whose pitch depends on the index.
void FillBenchSamples(std::uint32_t index, std::span<std::uint8_t> out);

// Writes a bank of `sounds` sounds of `dataSize` sample bytes each through the engine's bank
// writer, holding one sound's samples at a time. With `varyEvery` N above 0, sounds 0, N, 2N...
// get their sample bytes inverted: a bank that differs from the plain one in those sounds only.
Status WriteBenchBank(const std::filesystem::path& target, std::uint32_t sounds,
                      std::uint32_t dataSize, std::uint32_t varyEvery = 0);

}  // namespace Orvane::Bench
