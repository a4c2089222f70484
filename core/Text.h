#pragma once
// Building messages: Str("sound ", 3, " is damaged"), and numbers as a sentence writes them.
#include <sstream>
#include <string>

namespace Orvane {

template <typename... Parts>
std::string Str(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

// 22050 as "22,050", for numbers in sentences.
inline std::string Thousands(unsigned long long n) {
  std::string digits = std::to_string(n);
  for (auto at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, 1, ',');
  return digits;
}

// "At most ...": `text` with its first letter (ASCII) in upper case, for a text that starts a
// line of help.
inline std::string Capitalised(std::string text) {
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') text[0] = static_cast<char>(text[0] - 'a' + 'A');
  return text;
}

}  // namespace Orvane
