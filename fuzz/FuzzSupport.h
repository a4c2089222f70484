#pragma once
// What the fuzz targets share: a scratch folder in memory, whole-file reads and writes, and a
// check that turns a broken promise into a crash libFuzzer keeps as a finding.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "WaveReader.h"

namespace Orvane::Fuzz {

// An empty folder `name` of this process, on a memory file system where there is one: every
// run writes files, and a disk would set the pace.
std::filesystem::path ScratchFolder(const std::string& name);

// Removes everything inside `folder`, keeping the folder.
void EmptyFolder(const std::filesystem::path& folder);

void WriteBytes(const std::filesystem::path& file, std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file);

// Prints `what` and aborts: the input at hand is a finding.
[[noreturn]] void Fail(const std::string& what);

inline void Require(bool holds, const char* what) {
  if (!holds) Fail(what);
}

// Whether a well-formed WAVE file can become a sound of a bank: RIFF, PCM, a rate whose double fits
// 16 bits, and channels and bits that fit a byte. Written out here, apart from the engine's rule.
inline bool FitsBank(const WaveInfo& wave) {
  return !wave.Rf64 && wave.IsPcm() && wave.SampleRate <= 32767 && wave.NumChannels <= 255 &&
         wave.BitsPerSample <= 255;
}

// True when `text` contains `part`.
inline bool Mentions(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace Orvane::Fuzz
