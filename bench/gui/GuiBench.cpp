// The main window with a bank of 100,000 sounds: the File > Open handler from its call until the
// list is filled (the engine's load and the list's reset), the same until the list has been
// painted, the list's reset alone and with its first paint, one scroll-and-repaint frame,
// paging down with the Peak and Loudness columns in view while their levels come in, and File >
// Compare With... another such bank until the Change column is painted.
// Then edits: Edit > Replace Sound... of a 10 MB sound, and Undo, each until the list has been
// updated and painted, beside the engine's replace alone; and File > Save of a 200 MB bank
// beside cp of the file, run by run; a keystroke in the filter box; a 10 MB sound's waveform
// drawn first and again; the program's CPU use while a sound plays and the line moves.
//   QT_QPA_PLATFORM=offscreen orvane_bench_gui   (set by the program when no platform is chosen)
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <QAction>
#include <QLineEdit>
#include <QPixmap>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QScrollBar>
#include <QTableView>

#include "BenchBank.h"
#include "FakeDesktop.h"
#include "LevelsMeter.h"
#include "MainForm.h"
#include "PathUtf8.h"
#include "PlaybackConversion.h"
#include "SoundListModel.h"
#include "SoundOutput.h"
#include "SoundReplacement.h"
#include "TestFiles.h"
#include "WaveformView.h"

namespace Orvane::Bench {
namespace {

constexpr std::uint32_t kSounds = 100000;

// One bank file per sample size, written once for the whole run; with `varyEvery`, one that
// differs from the plain bank in every varyEvery-th sound's samples.
const std::filesystem::path& BankOf(std::uint32_t dataSize, std::uint32_t varyEvery = 0) {
  static Test::TempDir dir;
  static std::map<std::pair<std::uint32_t, std::uint32_t>, std::filesystem::path> banks;
  auto [it, added] = banks.try_emplace(
      {dataSize, varyEvery},
      dir / ("bench-" + std::to_string(dataSize) + "-" + std::to_string(varyEvery) + ".sdt"));
  if (added) {
    if (Status written = WriteBenchBank(it->second, kSounds, dataSize, varyEvery); !written) {
      std::fprintf(stderr, "cannot write the bench bank: %s\n", written.message().c_str());
      std::exit(1);
    }
  }
  return it->second;
}

void Quiet(const Report&) {}

double MillisecondsOf(const std::function<void()>& run) {
  const auto start = std::chrono::steady_clock::now();
  run();
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The main window on screen, driven through its menu as a user would.
class Window {
 public:
  Window() {
    form_.show();
    QApplication::processEvents();
  }
  void Open(const std::filesystem::path& bank) { Choose(open_, bank); }
  // Runs the menu item `name`, answering its file dialog, if any, with `file`.
  void Choose(const char* name, const std::filesystem::path& file = {}) {
    Choose(form_.findChild<QAction*>(QString::fromLatin1(name)), file);
  }
  // Lets the list do the layout it put off until the event loop runs, and paints it.
  void Paint() {
    QApplication::processEvents();
    list_->viewport()->repaint();
  }
  // Back in the event loop after a command: what it left to do, the list's repaint of the
  // rows it announced among it.
  void Settle() { QApplication::processEvents(); }
  QTableView& List() { return *list_; }
  void Focus(int row) { list_->setCurrentIndex(list_->model()->index(row, 0)); }
  SoundListModel& Model() { return *form_.findChild<SoundListModel*>(); }
  QLineEdit& Filter() { return *form_.findChild<QLineEdit*>(QStringLiteral("ctrlFilter")); }
  WaveformView* Waveform() { return form_.findChild<WaveformView*>(QStringLiteral("ctrlWaveform")); }

 private:
  void Choose(QAction* item, const std::filesystem::path& file) {
    if (!file.empty()) desktop_.Answers.push_back(QString::fromStdString(PathToUtf8(file)));
    item->trigger();
  }

  Test::FakeDesktop desktop_;
  // Converting as the window's does.
  SoundOutput output_{SoundOutput::Settings{&Audio::ConvertForPlayback, {}}};
  CSoundEditor editor_{&output_};  // no bank and no edits left by an earlier window
  MainForm form_{editor_, {std::filesystem::current_path() / "output", nullptr, ReportToConsole}, desktop_};
  QAction* open_ = form_.findChild<QAction*>(QStringLiteral("openToolStripMenuItem"));
  QTableView* list_ = form_.findChild<QTableView*>(QStringLiteral("ctrlSoundsList"));
};

// Each run times one call by the wall clock; the median of 21 runs is the figure.
void OneCallEach(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(21);
  b->ReportAggregatesOnly(true);
}

// 10 MB of samples in the bench sounds' own format, so that Replace copies them as they are.
const std::filesystem::path& TenMegabyteWave() {
  static Test::TempDir dir;
  static const std::filesystem::path file = [] {
    const auto path = dir / "ten.wav";
    Test::WriteFile(path, Test::MakeWave(Test::Samples(10u << 20), 22050, 16, 1));
    return path;
  }();
  return file;
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

// Page Down through 100,000 sounds right after File > Open, the Peak and Loudness columns in
// view: each step is the jump, its repaint, and the events due by then, among them the levels
// the window's meter measured off its thread. Steps come 30 ms apart, as a held key repeats,
// and the pause is not timed. A run's time is its median step; the counter its slowest.
void BM_ScrollPagesWithLevels(benchmark::State& state) {
  constexpr int kSteps = 100;
  for (auto _ : state) {
    Window window;
    window.Open(BankOf(1024));
    QTableView& list = window.List();
    window.Paint();
    list.horizontalScrollBar()->setValue(list.horizontalScrollBar()->maximum());
    window.Paint();
    const int peakLeft = list.columnViewportPosition(SoundListModel::columnPeak);
    const int loudnessRight = list.columnViewportPosition(SoundListModel::columnLoudness) +
                              list.columnWidth(SoundListModel::columnLoudness);
    if (peakLeft < 0 || loudnessRight > list.viewport()->width())
      return state.SkipWithError("the level columns are not in view");
    // How many batches of levels the steps took in: none would leave them out of the timing.
    int arrivals = 0;
    auto* meter = window.Model().parent()->findChild<LevelsMeter*>();
    if (meter == nullptr) return state.SkipWithError("the window has no levels meter");
    QObject::connect(meter, &LevelsMeter::Measured, [&arrivals] { ++arrivals; });
    std::vector<double> steps;
    for (int i = 0; i < kSteps; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
      steps.push_back(MillisecondsOf([&] {
        list.verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        list.viewport()->repaint();
        QApplication::processEvents();
      }));
    }
    const int during = arrivals;
    if (during == 0) return state.SkipWithError("no levels came in while scrolling");
    // The last page shows its levels once they have come.
    const QModelIndex last = list.model()->index(list.rowAt(0), SoundListModel::columnLoudness);
    for (int wait = 0; list.model()->data(last).toString().isEmpty() && wait < 100; ++wait) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      QApplication::processEvents();
    }
    if (list.model()->data(last).toString().isEmpty()) return state.SkipWithError("no levels came");
    std::sort(steps.begin(), steps.end());
    state.SetIterationTime(steps[steps.size() / 2] / 1000);
    state.counters["slowest_step_ms"] = steps.back();
    state.counters["level_batches"] = during;
  }
}
BENCHMARK(BM_ScrollPagesWithLevels)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// One keystroke in the filter box over 100,000 sounds, until the list shows what it lets
// through: "snd0" then "snd01", "snd012"..., each narrowing the one before, and back.
void BM_FilterKeystroke(benchmark::State& state) {
  Window window;
  window.Open(BankOf(64));
  window.Settle();
  const QStringList texts = {"s", "sn", "snd", "snd0", "snd01", "snd012", "snd0123"};
  std::size_t next = 0;
  for (auto _ : state) {
    window.Filter().setText(texts[static_cast<qsizetype>(next++ % texts.size())]);
    window.Settle();
  }
}
BENCHMARK(BM_FilterKeystroke)->Apply(OneCallEach);

// File > Compare With... a bank of 100,000 sounds whose samples differ in ten, until the list
// has painted its Change column: both banks' every header and sample compared.
void BM_CompareWith(benchmark::State& state) {
  const auto& other = BankOf(64, kSounds / 10);
  Window window;
  window.Open(BankOf(64));
  window.Paint();
  for (auto _ : state) {
    window.Choose("compareToolStripMenuItem", other);
    window.Paint();
    state.PauseTiming();
    const QModelIndex first = window.List().model()->index(0, SoundListModel::columnChange);
    if (window.List().model()->data(first).toString() != QStringLiteral("changed"))
      state.SkipWithError("sound 0 is not shown as changed");
    window.Choose("stopComparingToolStripMenuItem");
    window.Paint();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CompareWith)->Apply(OneCallEach);

// The waveform of a 10 MB sound: its first draw, the peaks computed (the sound is replaced
// anew before each run, so none are kept), and a redraw, each rendered into a picture as the
// screen would get it.
void BM_WaveformFirstDraw(benchmark::State& state) {
  CSoundEditor editor;
  if (!editor.LoadBank(BankOf(64))) return state.SkipWithError("not loaded");
  WaveformView view;
  view.resize(1000, 150);
  QPixmap picture(view.size());
  for (auto _ : state) {
    state.PauseTiming();
    if (!ReplaceSound(editor, 0, TenMegabyteWave(), ReplaceFormat::SoundsOwn, Quiet)) state.SkipWithError("not replaced");
    state.ResumeTiming();
    view.ShowSound(editor, 0);
    view.render(&picture);
  }
}
BENCHMARK(BM_WaveformFirstDraw)->Apply(OneCallEach);

void BM_WaveformRedraw(benchmark::State& state) {
  CSoundEditor editor;
  if (!editor.LoadBank(BankOf(64)) || !ReplaceSound(editor, 0, TenMegabyteWave(), ReplaceFormat::SoundsOwn, Quiet))
    return state.SkipWithError("no sound");
  WaveformView view;
  view.resize(1000, 150);
  QPixmap picture(view.size());
  view.ShowSound(editor, 0);
  view.render(&picture);
  for (auto _ : state) view.render(&picture);
}
BENCHMARK(BM_WaveformRedraw)->Apply(OneCallEach);

// The program's CPU time, every thread's, over a few seconds of a sound playing in the window,
// the line on its waveform moving: as a share of one core, and how often the line moved.
void BM_PlayLineCpu(benchmark::State& state) {
  static const Test::TempDir dir;
  const auto bank = dir / "long.sdt";
  Test::WriteFile(bank, Test::MakeBank({{.Name = "long", .Data = Test::Samples(22050 * 2 * 5)}}));
  Window window;
  window.Open(bank);
  window.Focus(0);
  auto* view = window.Waveform();
  view->resize(1000, 150);
  struct PaintCounter : QObject {
    int Paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      Paints += event->type() == QEvent::Paint;
      return false;
    }
  } counter;
  view->installEventFilter(&counter);
  constexpr int kMilliseconds = 3000;
  for (auto _ : state) {
    window.Settle();
    counter.Paints = 0;
    const std::clock_t cpuStart = std::clock();
    window.Choose("ctrlSoundsContextListen");
    QEventLoop loop;
    QTimer::singleShot(kMilliseconds, &loop, &QEventLoop::quit);
    loop.exec();
    const double cpuMs = 1000.0 * static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    window.Choose("stopToolStripMenuItem");
    state.counters["cpu_percent_of_a_core"] = 100.0 * cpuMs / kMilliseconds;
    state.counters["line_moves_per_s"] = counter.Paints * 1000.0 / kMilliseconds;
  }
}
BENCHMARK(BM_PlayLineCpu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

// The engine alone: reading the file and the edit, without the window.
void BM_EngineReplaceTenMegabytes(benchmark::State& state) {
  CSoundEditor editor;
  if (!editor.LoadBank(BankOf(64))) return state.SkipWithError("not loaded");
  for (auto _ : state) {
    if (!ReplaceSound(editor, kSounds / 2, TenMegabyteWave(), ReplaceFormat::SoundsOwn, Quiet)) state.SkipWithError("not replaced");
    state.PauseTiming();
    editor.Undo();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_EngineReplaceTenMegabytes)->Apply(OneCallEach);

// The bank listed, with the sound halfway down focused and on show.
void FocusHalfway(Window& window) {
  window.Open(BankOf(64));
  window.Focus(kSounds / 2);
  window.List().scrollTo(window.List().currentIndex());
}

// From Edit > Replace Sound... until the list shows the new sound: the handler and the events it
// left behind, the list's repaint among them.
void BM_ReplaceTenMegabytes(benchmark::State& state) {
  Window window;
  FocusHalfway(window);
  window.Settle();
  for (auto _ : state) {
    window.Choose("replaceToolStripMenuItem", TenMegabyteWave());
    window.Settle();
    state.PauseTiming();
    window.Choose("undoToolStripMenuItem");
    window.Settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_ReplaceTenMegabytes)->Apply(OneCallEach);

void BM_UndoReplace(benchmark::State& state) {
  Window window;
  FocusHalfway(window);
  window.Choose("replaceToolStripMenuItem", TenMegabyteWave());
  window.Settle();
  for (auto _ : state) {
    window.Choose("undoToolStripMenuItem");
    window.Settle();
    state.PauseTiming();
    window.Choose("redoToolStripMenuItem");
    window.Settle();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_UndoReplace)->Apply(OneCallEach);

// File > Save of a bank of 5,000 sounds of 40,000 bytes (200 MB) with one sound replaced, over
// the bank, and in the same run cp of the bank over a copy of it: both replace a file of that
// size. The run's time is the save's; the counters give cp's time and the ratio, so that their
// medians come from runs side by side.
void BM_SaveVsCopy(benchmark::State& state) {
  static Test::TempDir dir;
  const auto bank = dir / "save.sdt";
  if (!WriteBenchBank(bank, 5000, 40000)) return state.SkipWithError("no bank");
  Window window;
  window.Open(bank);
  window.Focus(17);
  window.Choose("replaceToolStripMenuItem", TenMegabyteWave());
  const std::string copy = "cp '" + PathToUtf8(bank) + "' '" + PathToUtf8(dir / "copy.sdt") + "'";
  double saveMs = 0, copyMs = 0;
  for (auto _ : state) {
    saveMs = MillisecondsOf([&] { window.Choose("saveToolStripMenuItem"); });
    state.SetIterationTime(saveMs / 1000);
    copyMs = MillisecondsOf([&] {
      if (std::system(copy.c_str()) != 0) state.SkipWithError("cp failed");
    });
  }
  state.counters["cp_ms"] = copyMs;
  state.counters["save_per_cp"] = saveMs / copyMs;
}
BENCHMARK(BM_SaveVsCopy)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(11)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace Orvane::Bench

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
  // Sounds play at a device's pace, into nothing.
  setenv("SDL_AUDIODRIVER", "disk", 0);
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
