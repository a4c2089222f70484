#pragma once
// Banks, WAVE files and folders for tests, built in memory and in temporary folders.
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Reporter.h"

namespace Orvane::Test {

using Bytes = std::vector<std::uint8_t>;

// Deterministic sample bytes that differ between seeds.
Bytes Samples(std::size_t count, std::uint32_t seed = 1);

struct SoundSpec {
  std::string Name;  // Windows-1252 bytes; 16 bytes fill the field with no terminator
  Bytes Data;
  std::uint16_t SampleRate = 44100;  // as stored: twice the rate
  std::uint8_t BitsPerSample = 16;
  std::uint8_t NumChannels = 1;
  std::uint32_t Unknown = 0;
  std::uint32_t LoopStart = 0;
  std::uint32_t LoopEnd = 0;
  std::uint32_t HeaderSize = 40;
};

// A bank laid out the way bank creation writes it: table, then header and data, no gaps.
Bytes MakeBank(const std::vector<SoundSpec>& sounds);

// The same, but each header followed by HeaderSize - 40 extra bytes before its samples.
Bytes MakePackedBank(const std::vector<SoundSpec>& sounds);

// One 40-byte header as stored in a bank.
Bytes MakeHeader(const SoundSpec& sound);

void PutU16(Bytes& out, std::size_t at, std::uint16_t v);
void PutU32(Bytes& out, std::size_t at, std::uint32_t v);
void AppendU16(Bytes& out, std::uint16_t v);
void AppendU32(Bytes& out, std::uint32_t v);

// Builds RIFF/WAVE files chunk by chunk, in the order given.
class WaveBuilder {
 public:
  // A 16-byte PCM "fmt " chunk (or one with another tag).
  WaveBuilder& Format(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                      std::uint16_t tag = 1);
  // A 40-byte WAVE_FORMAT_EXTENSIBLE "fmt " chunk whose sub-format is `subTag`.
  WaveBuilder& Extensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                          std::uint16_t subTag = 1);
  WaveBuilder& Data(const Bytes& samples);
  // Any chunk; odd sizes get their pad byte unless `pad` is false.
  WaveBuilder& Chunk(const std::string& id, const Bytes& body, bool pad = true);
  // A chunk header that declares `declared` bytes while `body` follows.
  WaveBuilder& RawChunk(const std::string& id, std::uint32_t declared, const Bytes& body);
  Bytes Build() const;  // with a RIFF size that matches

 private:
  Bytes chunks_;
};

// The canonical 44-byte PCM file.
Bytes MakeWave(const Bytes& samples, std::uint32_t rate = 22050, std::uint16_t bits = 16,
               std::uint16_t channels = 1);

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadFile(const std::filesystem::path& path);

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const;  // `name` is UTF-8

 private:
  std::filesystem::path path_;
};

// Makes `dir` the working directory until the end of the scope.
class ScopedWorkingDirectory {
 public:
  explicit ScopedWorkingDirectory(const std::filesystem::path& dir);
  ~ScopedWorkingDirectory();
  ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
  ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

 private:
  std::filesystem::path previous_;
};

// Sets (or, with UnsetEnvironment, removes) a variable of this process's environment, which
// the programs it starts and the libraries it uses read.
void SetEnvironment(const char* name, const std::string& value);
void UnsetEnvironment(const char* name);

// `path`, written with '/', as this system writes it in a message.
std::string NativePath(std::string path);

// A reporter for the lines a test does not look at.
inline void Quiet(const Report&) {}

}  // namespace Orvane::Test
