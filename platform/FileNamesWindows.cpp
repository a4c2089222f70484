// File names on Windows, which refuse more than POSIX: some characters, trailing dots and
// spaces, and the names of devices.
#include <algorithm>
#include <array>
#include <cctype>
#include <string_view>

#include "FileNames.h"

namespace Orvane {
namespace {

bool Refused(unsigned char c) {
  return c < 0x20 || std::string_view("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string_view::npos;
}

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 name devices, with any extension.
bool NamesDevice(std::string_view name) {
  const std::string_view stem = name.substr(0, name.find('.'));
  std::string upper(stem);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), upper) != kDevices.end()) return true;
  return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) &&
         upper[3] >= '1' && upper[3] <= '9';
}

}  // namespace

std::string SafeFileNamePart(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out)
    if (Refused(static_cast<unsigned char>(c))) c = '_';
  // A name that ends in a dot or a space loses it on Windows, and would name another file.
  if (!out.empty() && (out.back() == '.' || out.back() == ' ')) out.back() = '_';
  if (NamesDevice(out)) out += '_';
  return out;
}

}  // namespace Orvane
