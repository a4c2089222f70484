// Micro-benchmarks of the bank engine: parsing a bank, building and reading WAVE headers,
// loading a whole bank file, exporting one sound, creating a bank from a folder, undoing
// and redoing an edit, and previewing what a folder of files would replace.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "BankCreator.h"
#include "BankParser.h"
#include "BenchBank.h"
#include "ByteSource.h"
#include "FolderReplace.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "SoundReplacement.h"
#include "TbSoundBank.h"
#include "TestFiles.h"
#include "Wave.h"
#include "WaveReader.h"

namespace Orvane {
namespace {

using Test::Bytes;

constexpr std::uint32_t kSoundSize = 40960;

void Require(const Status& status) {
  if (!status) throw std::runtime_error(status.message());
}

void Quiet(const Report&) {}

// A bench bank written to a temporary folder, removed at exit.
struct BankFile {
  Test::TempDir dir;
  std::filesystem::path path = dir / "bench.sdt";
  BankFile(std::uint32_t sounds, std::uint32_t dataSize) {
    Require(Bench::WriteBenchBank(path, sounds, dataSize));
  }
};

// A canonical data chunk behind chunks that readers must skip, one of them odd-sized.
Bytes WaveWithChunks() {
  return Test::WaveBuilder()
      .Chunk("LIST", Bytes(26, 'x'))
      .Format(1, 22050, 16)
      .Chunk("fact", Bytes(4, 0))
      .Chunk("JUNK", Bytes(27, 0))
      .Data(Test::Samples(kSoundSize))
      .Build();
}

void BM_ParseBank(benchmark::State& state) {
  const auto sounds = static_cast<std::uint32_t>(state.range(0));
  const BankFile bank(sounds, 16);
  const Bytes bytes = Test::ReadFile(bank.path);
  for (auto _ : state) {
    auto parsed = ParseBank(bytes);
    benchmark::DoNotOptimize(parsed);
  }
  state.SetItemsProcessed(state.iterations() * sounds);
}
BENCHMARK(BM_ParseBank)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_WaveHeaderFromEntry(benchmark::State& state) {
  TbSoundEntry entry = Bench::BenchSoundHeader(42, kSoundSize);
  for (auto _ : state) {
    benchmark::DoNotOptimize(entry);
    auto bytes = WAVE::FromEntry(entry).Encode();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_WaveHeaderFromEntry);

void BM_ReadWaveInMemory(benchmark::State& state) {
  const Bytes file = WaveWithChunks();
  MemorySource source(file);
  for (auto _ : state) {
    auto info = ReadWave(source);
    benchmark::DoNotOptimize(info);
  }
}
BENCHMARK(BM_ReadWaveInMemory);

// What bank creation pays per input file before copying samples: open it and walk its chunks.
void BM_ReadWaveFromFile(benchmark::State& state) {
  const Test::TempDir dir;
  const auto path = dir / "1_chunks.wav";
  Test::WriteFile(path, WaveWithChunks());
  for (auto _ : state) {
    auto source = FileSource::Open(path);
    auto info = ReadWave(*source);
    benchmark::DoNotOptimize(info);
  }
}
BENCHMARK(BM_ReadWaveFromFile)->Unit(benchmark::kMicrosecond);

// The whole file into fresh memory and every header parsed, as each run of the tool does.
void BM_LoadBank(benchmark::State& state) {
  const BankFile bank(static_cast<std::uint32_t>(state.range(0)), kSoundSize);
  const auto size = std::filesystem::file_size(bank.path);
  // The first buffer of this size may wait for the system to gather huge pages; the runs of
  // a command-line tool one after another find them ready.
  Require(CSoundEditor().LoadBank(bank.path));
  for (auto _ : state) {
    CSoundEditor editor;
    Require(editor.LoadBank(bank.path));
    benchmark::DoNotOptimize(editor.FileBytes().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}
BENCHMARK(BM_LoadBank)->Arg(5000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

// Into a folder where the file is new, as exporting a bank into an empty folder does:
// overwriting a file is a different (and on some file systems slower) path.
void BM_ExportTo(benchmark::State& state) {
  const BankFile bank(1, kSoundSize);
  CSoundEditor editor;
  Require(editor.LoadBank(bank.path));
  const auto folder = bank.dir / "output";
  Require(editor.Export(0, folder));
  const auto file = *std::filesystem::directory_iterator(folder);
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(file);
    state.ResumeTiming();
    Require(editor.Export(0, folder));
  }
  state.SetBytesProcessed(state.iterations() * (kSoundSize + WAVE::kSize));
}
BENCHMARK(BM_ExportTo)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_CreateBankFrom(benchmark::State& state) {
  const auto sounds = static_cast<std::uint32_t>(state.range(0));
  const BankFile bank(sounds, kSoundSize);
  CSoundEditor editor;
  Require(editor.LoadBank(bank.path));
  const auto folder = bank.dir / "output";
  for (std::uint32_t i = 0; i < sounds; ++i) Require(editor.Export(i, folder));
  const auto target = bank.dir / "created.sdt";
  for (auto _ : state) {
    // A new target each time: replacing a file makes some file systems start writing it out.
    state.PauseTiming();
    std::filesystem::remove(target);
    state.ResumeTiming();
    Require(CreateBankFrom(folder, target, Quiet));
  }
  state.SetItemsProcessed(state.iterations() * sounds);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(sounds) *
                          (kSoundSize + WAVE::kSize));
}
BENCHMARK(BM_CreateBankFrom)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Undo (range 0) or redo (range 1) of a 10 MB replacement in a bank of 5,000 sounds, with the
// offsets laid out again as the list asks for them; the other direction is not timed.
void BM_UndoRedoReplace(benchmark::State& state) {
  const bool redo = state.range(0) == 1;
  const BankFile bank(5000, kSoundSize);
  const auto wave = bank.dir / "long.wav";
  Test::WriteFile(wave, Test::MakeWave(Test::Samples(10'000'000), 22050));
  CSoundEditor editor;
  Require(editor.LoadBank(bank.path));
  const auto replaced = ReplaceSound(editor, 17, wave, ReplaceFormat::SoundsOwn, Quiet);
  if (!replaced) throw std::runtime_error(replaced.message());
  const auto step = [&](bool forward) {
    if (!(forward ? editor.Redo() : editor.Undo())) throw std::runtime_error("nothing to undo or redo");
    benchmark::DoNotOptimize(editor.Entry(0).Offset);
  };
  for (auto _ : state) {
    if (redo) {
      state.PauseTiming();
      step(false);
      state.ResumeTiming();
    }
    step(redo);
    if (!redo) {
      state.PauseTiming();
      step(true);
      state.ResumeTiming();
    }
  }
}
BENCHMARK(BM_UndoRedoReplace)
    ->ArgName("redo")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// What the folder dialog shows before anything is decoded: 100 files of 10 s 44,100 Hz stereo
// FLAC (made with sox) against a bank of 5,000 sounds of 22,050 Hz 16-bit mono (200 MB).
void BM_PreviewReplacements(benchmark::State& state) {
  const BankFile bank(5000, 40000);
  const auto folder = bank.dir / "files";
  std::filesystem::create_directory(folder);
  const std::string first = PathToUtf8(folder / "0_a.flac");
  const std::string made = "sox -n -r 44100 -b 16 -c 2 '" + first +
                           "' synth 10 sine 440 sine 660 synth 10 pinknoise mix vol 0.5";
  if (std::system(made.c_str()) != 0) throw std::runtime_error("sox failed: " + made);
  std::vector<Replacement> replacements;
  for (std::uint32_t index = 0; index < 5000; index += 50) {
    const auto file = folder / (std::to_string(index) + "_a.flac");
    if (index != 0) std::filesystem::copy_file(first, file);
    replacements.push_back({index, file});
  }
  CSoundEditor editor;
  Require(editor.LoadBank(bank.path));
  for (auto _ : state) {
    const auto previews = PreviewReplacements(editor, replacements, ReplaceFormat::SoundsOwn);
    for (const ReplacementPreview& preview : previews) Require(preview.Problem);
    benchmark::DoNotOptimize(previews.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(replacements.size()));
}
BENCHMARK(BM_PreviewReplacements)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace Orvane
