#pragma once
// Runs independent jobs on every core: job(i) for each i below `count`, each exactly once, on
// at most `workers` threads (all the cores by default), and returns when all have ended. Jobs
// must not throw; each writes its own results.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <functional>
#include <thread>
#include <vector>

namespace Orvane {

inline unsigned CoreCount() { return std::max(1u, std::thread::hardware_concurrency()); }

inline void ForEachInParallel(std::size_t count, const std::function<void(std::size_t)>& job,
                              unsigned workers = CoreCount()) {
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) job(i);
  };
  std::vector<std::jthread> threads;
  const std::size_t extra = std::min<std::size_t>(workers, count);
  for (std::size_t t = 1; t < extra; ++t) threads.emplace_back(work);
  work();  // this thread is one of the workers
}

}  // namespace Orvane
