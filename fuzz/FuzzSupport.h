#pragma once
// What the fuzz targets share: a scratch folder in memory, whole-file reads and writes, inputs
// in parts behind markers, and a check that turns a broken promise into a crash libFuzzer
// keeps as a finding.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "WaveReader.h"

namespace Orvane::Fuzz {
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// An empty folder `name` of this process, on a memory file system where there is one: every
// run writes files, and a disk would set the pace.
std::filesystem::path ScratchFolder(const std::string& name);

// Removes everything inside `folder`, keeping the folder.
void EmptyFolder(const std::filesystem::path& folder);

void WriteBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
Bytes ReadBytes(const std::filesystem::path& file);

// An input cut at the first marker: the bytes before it, and the bytes after it when there is one.
struct MarkedParts {
  std::span<const std::uint8_t> Before;
  std::optional<std::span<const std::uint8_t>> After;
};
MarkedParts SplitAt(std::span<const std::uint8_t> input, std::string_view marker);

// Prints `what` and aborts: the input at hand is a finding.
[[noreturn]] void Fail(const std::string& what);

inline void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// Whether a well-formed WAVE file can become a sound of a bank: RIFF, PCM, a rate whose double fits
// 16 bits, and channels and bits that fit a byte. Written out here, apart from the engine's rule.
inline bool FitsBank(const WaveInfo& wave) {
  return !wave.Rf64 && wave.IsPcm() && wave.SampleRateHz >= 100 && wave.SampleRateHz <= 32767 &&
         wave.NumChannels <= 255 && wave.BitsPerSample <= 255;
}

// True when `text` contains `part`.
inline bool Mentions(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace Orvane::Fuzz

// libFuzzer's entry point, handing every input to `run`, a function of the target's own.
#define ORVANE_FUZZ_TARGET(run)                                                          \
  extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) { \
    run(std::span<const std::uint8_t>(data, size));                                    \
    return 0;                                                                          \
  }
