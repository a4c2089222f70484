// The working directory on POSIX systems, with the separator '/'.
#include <filesystem>
#include <system_error>

#include "PathUtf8.h"
#include "WorkingDirectory.h"

namespace Orvane {

std::string GetCurrentDir() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::current_path(ec);
  // A working directory that was removed has no name; "." still resolves relative paths.
  if (ec) dir = ".";
  return PathToUtf8(dir) + '/';
}

}  // namespace Orvane
