#pragma once
// Builds a message from pieces: Str("sound ", 3, " is damaged").
#include <sstream>
#include <string>

namespace Orvane {

template <typename... Parts>
std::string Str(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

}  // namespace Orvane
