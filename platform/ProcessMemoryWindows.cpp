// The resident set on Windows: the working set.
#include <windows.h>
#include <psapi.h>

#include "ProcessMemory.h"

namespace Orvane {

std::optional<std::size_t> ResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return std::nullopt;
  return counters.WorkingSetSize;
}

}  // namespace Orvane
