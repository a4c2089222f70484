#include "LevelsMeter.h"

#include <algorithm>

#include <QTimer>

namespace Orvane {
namespace {

// Measured cells are announced together, at most this often: a list sorted by levels sorts
// again at each announcement.
constexpr int kFlushMs = 150;

}  // namespace

LevelsMeter::LevelsMeter(const CSoundEditor& editor, QObject* parent)
    : QObject(parent), editor_(editor), worker_([this](std::stop_token stop) { Work(stop); }) {}

LevelsMeter::~LevelsMeter() {
  worker_.request_stop();
  wake_.notify_all();
}

std::optional<Audio::Levels> LevelsMeter::Levels(std::uint32_t index) {
  if (auto known = editor_.Levels().Known(index)) return known;
  Ask(index);
  return std::nullopt;
}

const LevelsMeter::Failure* LevelsMeter::FailureOf(const SampleRef& samples) const {
  const auto found = failed_.find(samples.Bytes.data());
  return found != failed_.end() && found->second.Samples.Marks(samples) ? &found->second : nullptr;
}

std::optional<std::string> LevelsMeter::Refusal(std::uint32_t index) const {
  if (index >= editor_.Count()) return std::nullopt;
  std::lock_guard lock(mutex_);
  const Failure* failure = FailureOf(editor_.Sound(index).Samples);
  return failure ? std::optional(failure->Reason) : std::nullopt;
}

void LevelsMeter::MeasureAll() {
  for (std::uint32_t index = editor_.Count(); index-- > 0;)
    if (!editor_.Levels().Known(index)) Ask(index);
}

bool LevelsMeter::Busy() const {
  std::lock_guard lock(mutex_);
  return !asked_.empty();
}

void LevelsMeter::Forget() {
  std::lock_guard lock(mutex_);
  jobs_.clear();
  asked_.clear();
  failed_.clear();
}

void LevelsMeter::Ask(std::uint32_t index) {
  auto job = editor_.SamplesOf(index);
  if (!job) return;  // a damaged sound has no levels to show
  {
    std::lock_guard lock(mutex_);
    if (FailureOf(job->Samples) != nullptr || !asked_.insert(job->Samples.Bytes.data()).second)
      return;
    jobs_.push_back({index, std::move(*job)});
  }
  wake_.notify_one();
}

void LevelsMeter::Work(std::stop_token stop) {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      if (!wake_.wait(lock, stop, [this] { return !jobs_.empty(); })) return;
      job = std::move(jobs_.back());
      jobs_.pop_back();
    }
    const auto measured = editor_.Levels().Measure(job.What);
    bool schedule = false;
    {
      std::lock_guard lock(mutex_);
      const std::uint8_t* samples = job.What.Samples.Bytes.data();
      asked_.erase(samples);
      // A sound whose levels cannot be measured shows why instead, and is not asked for again
      // at every repaint.
      if (!measured)
        failed_.insert_or_assign(samples, Failure{SampleMark(job.What.Samples), measured.message()});
      measured_.push_back(job.Index);
      schedule = !std::exchange(flushing_, true);
    }
    if (schedule)
      QMetaObject::invokeMethod(
          this, [this] { QTimer::singleShot(kFlushMs, this, &LevelsMeter::Flush); },
          Qt::QueuedConnection);
  }
}

void LevelsMeter::Flush() {
  std::vector<std::uint32_t> measured;
  {
    std::lock_guard lock(mutex_);
    measured.swap(measured_);
    flushing_ = false;
  }
  if (measured.empty()) return;
  const auto [first, last] = std::minmax_element(measured.begin(), measured.end());
  emit Measured(*first, *last);
}

}  // namespace Orvane
