#include "Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace Orvane {
namespace {

Status Run(const std::function<Status(std::size_t)>& job, std::size_t i) {
  try {
    return job(i);
  } catch (const std::bad_alloc&) {
    return Status::Error(ErrorKind::TooLarge, "there is not enough memory for it");
  } catch (const std::exception& e) {
    return Status::Error(ErrorKind::Failed, e.what());
  }
}

}  // namespace

unsigned CoreCount() { return std::max(1u, std::thread::hardware_concurrency()); }

Status ForEachInParallel(std::size_t count, const std::function<Status(std::size_t)>& job,
                         unsigned workers) {
  std::atomic<std::size_t> next{0};
  std::mutex lock;
  std::size_t failedAt = count;  // the lowest index that failed so far, under `lock`
  Status failure = Status::Ok();
  const auto work = [&] {
    for (std::size_t i = next++; i < count; i = next++) {
      Status answer = Run(job, i);
      if (answer) continue;
      std::lock_guard guard(lock);
      if (i < failedAt) failedAt = i, failure = std::move(answer);
    }
  };
  {
    std::vector<std::jthread> threads;
    const std::size_t extra = std::min<std::size_t>(workers, count);
    for (std::size_t t = 1; t < extra; ++t) {
      try {
        threads.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // the threads started so far, and this one, do every job
      }
    }
    work();  // this thread is one of the workers
  }
  return failure;
}

}  // namespace Orvane
