// The main window with a bank of 100,000 sounds: the File > Open handler from its call until the
// list is filled (the engine's load and the list's reset), the same until the list has been
// painted, the list's reset alone and with its first paint, and one scroll-and-repaint frame.
//   QT_QPA_PLATFORM=offscreen orvane_bench_gui   (set by the program when no platform is chosen)
#include <cstdlib>
#include <map>
#include <memory>
#include <random>

#include <benchmark/benchmark.h>
#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTableView>

#include "BenchBank.h"
#include "FakeDesktop.h"
#include "Globals.h"
#include "MainForm.h"
#include "SoundListModel.h"
#include "TestFiles.h"

namespace Orvane::Bench {
namespace {

constexpr std::uint32_t kSounds = 100000;

// One bank file per sample size, written once for the whole run.
const std::filesystem::path& BankOf(std::uint32_t dataSize) {
  static Test::TempDir dir;
  static std::map<std::uint32_t, std::filesystem::path> banks;
  auto [it, added] =
      banks.try_emplace(dataSize, dir / ("bench-" + std::to_string(dataSize) + ".sdt"));
  if (added) {
    if (Status written = WriteBenchBank(it->second, kSounds, dataSize); !written) {
      std::fprintf(stderr, "cannot write the bench bank: %s\n", written.message().c_str());
      std::exit(1);
    }
  }
  return it->second;
}

// The main window on screen, driven through its menu as a user would.
class Window {
 public:
  Window() {
    form_.show();
    QApplication::processEvents();
  }
  void Open(const std::filesystem::path& bank) {
    desktop_.Answers.push_back(QString::fromStdString(bank.string()));
    open_->trigger();
  }
  // Lets the list do the layout it put off until the event loop runs, and paints it.
  void Paint() {
    QApplication::processEvents();
    list_->viewport()->repaint();
  }
  QTableView& List() { return *list_; }
  SoundListModel& Model() { return *qobject_cast<SoundListModel*>(list_->model()); }

 private:
  Test::FakeDesktop desktop_;
  MainForm form_{desktop_};
  QAction* open_ = form_.findChild<QAction*>(QStringLiteral("openToolStripMenuItem"));
  QTableView* list_ = form_.findChild<QTableView*>(QStringLiteral("ctrlSoundsList"));
};

// Each run times one call by the wall clock; the median of 21 runs is the figure.
void OneCallEach(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(21);
  b->ReportAggregatesOnly(true);
}

void BM_OpenHandler(benchmark::State& state) {
  const auto& bank = BankOf(static_cast<std::uint32_t>(state.range(0)));
  Window window;
  for (auto _ : state) {
    window.Open(bank);
    if (window.List().model()->rowCount() != static_cast<int>(kSounds))
      state.SkipWithError("not listed");
  }
  state.counters["sounds"] = kSounds;
}
BENCHMARK(BM_OpenHandler)->Arg(64)->Arg(1024)->Apply(OneCallEach);

void BM_OpenHandlerAndFirstPaint(benchmark::State& state) {
  const auto& bank = BankOf(64);
  Window window;
  for (auto _ : state) {
    window.Open(bank);
    window.Paint();
  }
}
BENCHMARK(BM_OpenHandlerAndFirstPaint)->Apply(OneCallEach);

void BM_ListReset(benchmark::State& state) {
  Window window;
  window.Open(BankOf(64));
  for (auto _ : state) window.Model().Refill();
}
BENCHMARK(BM_ListReset)->Apply(OneCallEach);

void BM_ListResetAndFirstPaint(benchmark::State& state) {
  Window window;
  window.Open(BankOf(64));
  window.Paint();
  for (auto _ : state) {
    window.Model().Refill();
    window.Paint();
  }
}
BENCHMARK(BM_ListResetAndFirstPaint)->Apply(OneCallEach);

// One frame of scrolling: a jump to another place in the list and the repaint that shows it.
void BM_ScrollFrame(benchmark::State& state) {
  Window window;
  window.Open(BankOf(64));
  QScrollBar& bar = *window.List().verticalScrollBar();
  std::mt19937 random(1);
  std::uniform_int_distribution<int> place(bar.minimum(), bar.maximum());
  for (auto _ : state) {
    bar.setValue(place(random));
    window.List().viewport()->repaint();
  }
}
BENCHMARK(BM_ScrollFrame)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace Orvane::Bench

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
