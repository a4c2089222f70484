#include "WorkingDirectory.h"

#include <filesystem>
#include <system_error>

namespace Orvane {

std::string GetCurrentDir() {
  std::error_code ec;
  std::filesystem::path dir = std::filesystem::current_path(ec);
  // A working directory that was removed has no name; "." still resolves relative paths.
  if (ec) dir = ".";
  return dir.string() + static_cast<char>(std::filesystem::path::preferred_separator);
}

}  // namespace Orvane
