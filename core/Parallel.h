#pragma once
// Runs independent jobs on every core: job(i) for each i below `count`, each exactly once, on
// at most `workers` threads (all the cores by default), and returns when all have ended. A job
// answers a Status; one that throws (out of memory, say) is caught on its own thread and
// answers a failure, so nothing unwinds across threads.
#include <cstddef>
#include <functional>

#include "Status.h"

namespace Orvane {

unsigned CoreCount();

// Every job runs, whatever the others answer. The answer is the failure of the job with the
// lowest index that failed, so that it does not depend on the order the jobs ran in; Ok when
// none did. Fewer threads start where the system refuses more.
Status ForEachInParallel(std::size_t count, const std::function<Status(std::size_t)>& job,
                         unsigned workers = CoreCount());

}  // namespace Orvane
