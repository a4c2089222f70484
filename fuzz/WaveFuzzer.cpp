// Reads any bytes as a WAVE file the way bank creation does: as a numbered file of a folder,
// through the file reader. The same bytes read from memory must give the same answer, and what
// is found must lie inside the file.
#include "BankCreator.h"
#include "ByteSource.h"
#include "FuzzSupport.h"
#include "PathUtf8.h"
#include "WaveReader.h"

namespace Orvane::Fuzz {
namespace {

struct Scratch {
  fs::path Folder = ScratchFolder("wave");
  fs::path File = Folder / "7_fuzzed.wav";
};

void CheckFound(const WaveInfo& wave, std::uint64_t size) {
  Require(wave.DataOffset <= size && wave.DataSize <= size - wave.DataOffset,
          "the samples lie inside the file");
  Require(wave.DataSize <= wave.DeclaredDataSize, "no more samples than declared are taken");
  Require(wave.DataSize == wave.DeclaredDataSize || !wave.Warnings.empty(),
          "short samples are warned about");
  Require(!wave.Chunks.empty(), "the chunks are reported");
  std::uint64_t next = 12;
  for (const WaveChunk& chunk : wave.Chunks) {
    Require(chunk.Offset >= next && chunk.Offset + 8 <= size,
            "chunks are reported in file order, inside the file");
    next = chunk.Offset + 8;
  }
}

bool SameFindings(const WaveInfo& a, const WaveInfo& b) {
  const auto sameChunks = std::equal(
      a.Chunks.begin(), a.Chunks.end(), b.Chunks.begin(), b.Chunks.end(),
      [](const WaveChunk& x, const WaveChunk& y) {
        return x.Id == y.Id && x.Offset == y.Offset && x.Size == y.Size;
      });
  return sameChunks && a.FormatTag == b.FormatTag && a.Extensible == b.Extensible &&
         a.NumChannels == b.NumChannels && a.SampleRateHz == b.SampleRateHz &&
         a.BitsPerSample == b.BitsPerSample && a.DataOffset == b.DataOffset &&
         a.DataSize == b.DataSize && a.DeclaredDataSize == b.DeclaredDataSize &&
         a.Warnings == b.Warnings;
}

void ReadWaveFile(std::span<const std::uint8_t> input) {
  static const Scratch scratch;
  WriteBytes(scratch.File, input);

  auto file = FileSource::Open(scratch.File);
  Require(file.ok() && file->Size() == input.size(), "the file opens with its size");
  auto fromFile = ReadWave(*file);
  MemorySource memory(input);
  auto fromMemory = ReadWave(memory);
  Require(fromFile.ok() == fromMemory.ok() && fromFile.message() == fromMemory.message(),
          "file and memory give the same answer");
  if (fromFile) {
    CheckFound(*fromFile, input.size());
    Require(SameFindings(*fromFile, *fromMemory), "file and memory find the same");
  }

  std::string warnings;
  auto gathered = GatherSounds(scratch.Folder, {}, [&](const Report& report) {
    warnings += report.Line;
  });
  if (!gathered) {
    Require(Mentions(gathered.message(), PathToUtf8(scratch.File)), "a refusal names the file");
    Require(!fromFile || !FitsBank(*fromFile), "only files unfit for a bank are refused");
    return;
  }
  Require(fromFile && FitsBank(*fromFile), "a file is gathered only when it fits a bank");
  Require(gathered->size() == 1 && (*gathered)[0].Index == 7, "the one file is sound 7");
  const Wav2Entry& sound = gathered->front();
  Require(sound.Header == BankHeaderFor({static_cast<std::uint16_t>(fromFile->SampleRateHz * 2u),
                                             static_cast<std::uint8_t>(fromFile->BitsPerSample),
                                             static_cast<std::uint8_t>(fromFile->NumChannels)},
                                            fromFile->DataSize, "fuzzed") &&
              sound.DataOffset == fromFile->DataOffset,
          "gathering reads what the reader does");
  Require(fromFile->Warnings.empty() == warnings.empty(), "the reader's warnings are passed on");
}

}  // namespace
}  // namespace Orvane::Fuzz

ORVANE_FUZZ_TARGET(Orvane::Fuzz::ReadWaveFile)
