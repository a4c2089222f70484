#include "BenchBank.h"

#include <cstdio>
#include <vector>

#include "BankWriter.h"
#include "ByteOrder.h"

namespace Orvane::Bench {
namespace {

constexpr std::uint16_t kStoredRate = 2 * 22050;  // banks store twice the rate
constexpr std::int32_t kAmplitude = 8000;

}  // namespace

TbSoundEntry BenchSoundHeader(std::uint32_t index, std::uint32_t dataSize) {
  TbSoundEntry h;
  h.HeaderSize = TbSoundEntry::kSize;
  h.DataSize = dataSize;
  char name[TbSoundEntry::kNameSize + 1] = {};
  std::snprintf(name, sizeof name, "snd%05u", index);
  h.SetName(name);
  h.SampleRate = kStoredRate;
  h.BitsPerSample = 16;
  h.NumChannels = 1;
  return h;
}

void FillBenchSamples(std::uint32_t index, std::span<std::uint8_t> out) {
  const std::int32_t period = 40 + static_cast<std::int32_t>(index % 200);  // in samples
  const std::int32_t half = period / 2;
  for (std::size_t at = 0; at + 1 < out.size(); at += 2) {
    const auto t = static_cast<std::int32_t>((at / 2) % static_cast<std::size_t>(period));
    const std::int32_t rise = t < half ? t : period - t;  // 0 .. half .. 0
    const std::int32_t value = rise * 2 * kAmplitude / half - kAmplitude;
    StoreU16(&out[at], static_cast<std::uint16_t>(static_cast<std::int16_t>(value)));
  }
  if (out.size() % 2 == 1) out.back() = 0;
}

Status WriteBenchBank(const std::filesystem::path& target, std::uint32_t sounds,
                      std::uint32_t dataSize, std::uint32_t varyEvery) {
  std::vector<TbSoundEntry> headers;
  headers.reserve(sounds);
  for (std::uint32_t i = 0; i < sounds; ++i) headers.push_back(BenchSoundHeader(i, dataSize));
  std::vector<std::uint8_t> samples(dataSize);
  return WriteBank(target, headers, [&](std::size_t i, AtomicFile& out) {
    FillBenchSamples(static_cast<std::uint32_t>(i), samples);
    if (varyEvery != 0 && i % varyEvery == 0)
      for (std::uint8_t& byte : samples) byte = static_cast<std::uint8_t>(~byte);
    return out.Write(samples);
  });
}

}  // namespace Orvane::Bench
