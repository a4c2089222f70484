#pragma once
#include <cerrno>
#include <string>
#include <system_error>

namespace Orvane {

// The system's words for the last failed call (errno), or `fallback` when it left none.
// Callers clear errno before the call they describe.
inline std::string LastSystemError(const char* fallback) {
  const int err = errno;
  return err != 0 ? std::generic_category().message(err) : std::string(fallback);
}

}  // namespace Orvane
