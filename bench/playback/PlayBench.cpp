// Play of a loaded bank's sound: the time until it returns, and the resident size after 1,000
// plays. Without SDL_AUDIODRIVER in the environment the sound goes to SDL's disk driver, which
// plays at a device's pace, and without SDL_DISKAUDIOFILE to the null device.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "BenchBank.h"
#include "PlaybackConversion.h"
#include "ProcessMemory.h"
#include "SoundEditor.h"
#include "SoundOutput.h"
#include "TestFiles.h"

namespace Orvane {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double kMegabyte = 1024.0 * 1024.0;

void Require(const Status& status) {
  if (!status) throw std::runtime_error(status.message());
}

double Microseconds(Clock::duration d) {
  return std::chrono::duration<double, std::micro>(d).count();
}

double Median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

double ResidentMegabytes() { return static_cast<double>(ResidentBytes().value_or(0)) / kMegabyte; }

// Plays sounds `first` and `second` of `editor` in turn, one per iteration, timing each call.
void TimePlays(benchmark::State& state, CSoundEditor& editor, std::uint32_t first,
               std::uint32_t second) {
  // The first play starts SDL's audio and opens a device; it is timed on its own.
  const auto start = Clock::now();
  Require(editor.Play(first));
  state.counters["first_play_us"] = Microseconds(Clock::now() - start);

  std::vector<double> times;
  std::uint32_t index = second;
  for (auto _ : state) {
    const auto before = Clock::now();
    const Status played = editor.Play(index);
    const auto took = Clock::now() - before;
    if (!played) {
      state.SkipWithError(played.message().c_str());
      break;
    }
    state.SetIterationTime(std::chrono::duration<double>(took).count());
    times.push_back(Microseconds(took));
    index = index == first ? second : first;
  }
  if (!times.empty()) {
    state.counters["median_us"] = Median(times);
    state.counters["max_us"] = *std::max_element(times.begin(), times.end());
  }
  state.counters["resident_MB"] = ResidentMegabytes();
}

// Sounds converted to the device's format as they play, as the window has them.
SoundOutput::Settings AsTheWindowPlays() { return {&Audio::ConvertForPlayback, {}}; }

// 1,000 plays of a 1 MB sound, each stopping the one before.
void BM_PlayMegabyteSound(benchmark::State& state) {
  const Test::TempDir dir;
  Require(Bench::WriteBenchBank(dir / "big.sdt", 1, 1 << 20));
  SoundOutput output(AsTheWindowPlays());
  CSoundEditor editor(&output);
  Require(editor.LoadBank(dir / "big.sdt"));
  state.counters["loaded_MB"] = ResidentMegabytes();
  TimePlays(state, editor, 0, 0);
}
BENCHMARK(BM_PlayMegabyteSound)->Iterations(1000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Sounds of two formats in turn: the first, 16-bit at 22,050 Hz, opens the device, and the
// 8-bit sound at 11,025 Hz of the first argument's size is converted to it as it plays; with
// the second argument 0, nothing converts and each play reopens the device in its format.
void BM_PlayAlternatingFormats(benchmark::State& state) {
  const Test::TempDir dir;
  Test::SoundSpec sixteenBit{.Name = "a", .Data = Test::Samples(44100)};
  Test::SoundSpec eightBit{.Name = "b",
                           .Data = Test::Samples(static_cast<std::size_t>(state.range(0))),
                           .SampleRate = 22050,
                           .BitsPerSample = 8};
  Test::WriteFile(dir / "mixed.sdt", Test::MakeBank({sixteenBit, eightBit}));
  SoundOutput output(state.range(1) == 0 ? SoundOutput::Settings{} : AsTheWindowPlays());
  CSoundEditor editor(&output);
  Require(editor.LoadBank(dir / "mixed.sdt"));
  TimePlays(state, editor, 0, 1);
}
BENCHMARK(BM_PlayAlternatingFormats)
    ->ArgNames({"bytes", "converted"})
    ->Args({11025, 1})
    ->Args({1 << 20, 1})
    ->Args({1 << 20, 0})
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace Orvane

int main(int argc, char** argv) {
  // A machine without a sound card still measures, on a driver that writes nowhere.
  setenv("SDL_AUDIODRIVER", "disk", 0);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
