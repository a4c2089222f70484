#pragma once
// Bank names are bytes in the game's code page, Windows-1252. Everything outside the bank
// (file names, the list, the clipboard, the tool's output) speaks UTF-8.
#include <string>
#include <string_view>

#include "Status.h"

namespace Orvane {

// Every byte maps to one code point; the five bytes Windows-1252 leaves undefined map to the
// C1 control of the same value, so any name survives a trip through UTF-8 and back.
std::string Cp1252ToUtf8(std::string_view bytes);

// `utf8` as Windows-1252 bytes; fails (Unsupported) naming the first character the code page
// has no byte for, or on malformed UTF-8: what a name that must not change silently needs.
Result<std::string> Utf8ToCp1252Exactly(std::string_view utf8);

// A code point with no Windows-1252 byte, and each byte of malformed UTF-8, becomes '?'.
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace Orvane
