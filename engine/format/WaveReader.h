#pragma once
// Reads a WAVE file (RIFF, or RF64) by walking its chunks: "fmt " and "data" are found wherever they
// stand, every other chunk is recorded and skipped, odd-sized chunks are followed by their pad
// byte. Sample bytes are not read, only located.
#include <cstdint>
#include <string>
#include <vector>

#include "ByteSource.h"
#include "Status.h"

namespace Orvane {

// Enough for any real file; stops a walk over megabytes of empty chunks, in every chunked
// audio file read here.
inline constexpr std::size_t kMaxChunks = 4096;

struct WaveChunk {
  std::string Id;            // the four identifier characters, e.g. "LIST"
  std::uint64_t Offset = 0;  // of the chunk's 8-byte header within the file
  std::uint32_t Size = 0;    // as declared
};

struct WaveInfo {
  static constexpr std::uint16_t kFormatPcm = 1;
  static constexpr std::uint16_t kFormatFloat = 3;
  static constexpr std::uint16_t kFormatExtensible = 0xFFFE;

  // An RF64 or BW64 file: chunks as in RIFF, but sizes past 4 GiB live in its "ds64" chunk,
  // so DataSize is only what the data chunk's 32-bit field allows.
  bool Rf64 = false;

  // Of WAVE_FORMAT_EXTENSIBLE files, the sub-format's tag; 1 for PCM.
  std::uint16_t FormatTag = 0;
  bool Extensible = false;
  std::uint16_t NumChannels = 0;
  std::uint32_t SampleRateHz = 0;
  std::uint16_t BitsPerSample = 0;

  std::uint64_t DataOffset = 0;        // first sample byte
  std::uint32_t DataSize = 0;          // sample bytes present in the file
  std::uint32_t DeclaredDataSize = 0;  // what the data chunk claims

  std::vector<WaveChunk> Chunks;      // every chunk met, in file order
  std::vector<std::string> Warnings;  // things taken in good part, for the user to see

  bool IsPcm() const { return FormatTag == kFormatPcm; }
};

// "32-bit float", "IMA ADPCM", "format 80"...: what a format tag holds, for messages.
std::string WaveFormatName(std::uint16_t tag);

// Fails, naming the chunk and its byte offset where there is one, when the file is not
// RIFF/WAVE or lacks a usable "fmt " or "data" chunk. The format is reported, not judged.
Result<WaveInfo> ReadWave(ByteSource& source);

}  // namespace Orvane
