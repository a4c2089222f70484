// File names on POSIX systems, which refuse one character alone.
#include "FileNames.h"

namespace Orvane {
namespace {

// The one character a POSIX file name refuses, the path separator.
bool Refused(unsigned char c) { return c == '/'; }

}  // namespace

std::string SafeFileNamePart(std::string_view utf8) {
  std::string out(utf8);
  for (char& c : out)
    if (Refused(static_cast<unsigned char>(c))) c = '_';
  return out;
}

}  // namespace Orvane
