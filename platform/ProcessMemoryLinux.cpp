#include "ProcessMemory.h"

#if defined(__linux__)
#include <unistd.h>

#include <fstream>
#endif

namespace Orvane {

std::optional<std::size_t> ResidentBytes() {
#if defined(__linux__)
  // The second field of statm is the resident set in pages.
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  if (!(statm >> pages >> resident)) return std::nullopt;
  return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
#else
  return std::nullopt;
#endif
}

}  // namespace Orvane
