#pragma once
// The list's Peak and Loudness cells, measured off the window's thread: a cell asks for its
// sound's levels and shows them once a worker has measured them, so that scrolling never waits
// for a measurement. The engine keeps what was measured, recognised by the samples' store, so
// an edit's new samples are measured anew and undoing it shows the old levels at once.
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <QObject>

#include "SoundEditor.h"

namespace Orvane {

class LevelsMeter final : public QObject {
  Q_OBJECT

 public:
  // `editor` outlives the meter; only its thread-safe Measure runs on the worker.
  explicit LevelsMeter(const CSoundEditor& editor, QObject* parent = nullptr);
  ~LevelsMeter() override;

  // Sound `index`'s levels when they are known; otherwise they are asked for, and nothing is
  // answered now.
  std::optional<Audio::Levels> Levels(std::uint32_t index);
  // Why sound `index`'s levels could not be measured, once the meter has tried and failed.
  std::optional<std::string> Refusal(std::uint32_t index) const;
  // Asks for every sound's levels: a sort by them needs all of them.
  void MeasureAll();
  // True while asked-for sounds wait to be measured.
  bool Busy() const;
  // Drops what was asked for and not measured yet: the bank it was asked for is gone.
  void Forget();

 signals:
  // Sounds from `first` to `last` (by their index when asked for) were measured since the
  // last signal; at most a few signals a second.
  void Measured(std::uint32_t first, std::uint32_t last);

 private:
  struct Job {
    std::uint32_t Index = 0;
    SoundSamples What;
  };
  // A sound the meter could not measure, and why; recognised by its samples' store, as the
  // engine recognises measured ones, so that other samples at the same address are not it.
  struct Failure {
    SampleMark Samples;
    std::string Reason;
  };
  void Ask(std::uint32_t index);
  void Work(std::stop_token stop);
  void Flush();
  // The failure of `samples`, under the lock.
  const Failure* FailureOf(const SampleRef& samples) const;

  const CSoundEditor& editor_;
  mutable std::mutex mutex_;
  std::condition_variable_any wake_;
  std::vector<Job> jobs_;                          // the newest is measured first
  // Samples asked for and not measured yet: their jobs keep their stores, and so the addresses.
  std::unordered_set<const std::uint8_t*> asked_;
  std::unordered_map<const std::uint8_t*, Failure> failed_;  // until Forget
  std::vector<std::uint32_t> measured_;            // since the last signal
  bool flushing_ = false;
  std::jthread worker_;  // last: it stops and joins before the members it uses go
};

}  // namespace Orvane
