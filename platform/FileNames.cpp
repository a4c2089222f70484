#include "FileNames.h"

namespace Orvane {
namespace {

bool Refused(unsigned char c) {
#if defined(_WIN32)
  if (c < 0x20) return true;
  for (char r : std::string_view("\\/:*?\"<>|"))
    if (c == static_cast<unsigned char>(r)) return true;
  return false;
#else
  return c == '/';
#endif
}

}  // namespace

std::string SafeFileNamePart(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out)
    if (Refused(static_cast<unsigned char>(c))) c = '_';
  return out;
}

}  // namespace Orvane
