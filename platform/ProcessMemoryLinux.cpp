// The resident set on Linux, from /proc.
#include <unistd.h>

#include <fstream>

#include "ProcessMemory.h"

namespace Orvane {

std::optional<std::size_t> ResidentBytes() {
  // The second field of statm is the resident set in pages.
  std::ifstream statm("/proc/self/statm");
  std::size_t pages = 0;
  std::size_t resident = 0;
  if (!(statm >> pages >> resident)) return std::nullopt;
  return resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace Orvane
