#include "CodePage.h"

#include <array>
#include <cstdint>
#include <optional>

namespace Orvane {
namespace {

// Code points of bytes 0x80..0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t CodePointOf(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::optional<char> ByteOf(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (std::size_t i = 0; i < kHighControls.size(); ++i)
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  return std::nullopt;
}

// Decodes one UTF-8 sequence at `pos`; returns its length, or 0 when it is malformed.
std::size_t DecodeUtf8(std::string_view s, std::size_t pos, char32_t& cp) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  std::size_t len = 0;
  char32_t min = 0;
  if (lead < 0x80) { cp = lead; return 1; }
  if ((lead & 0xE0) == 0xC0) { len = 2; cp = lead & 0x1F; min = 0x80; }
  else if ((lead & 0xF0) == 0xE0) { len = 3; cp = lead & 0x0F; min = 0x800; }
  else if ((lead & 0xF8) == 0xF0) { len = 4; cp = lead & 0x07; min = 0x10000; }
  else return 0;
  if (pos + len > s.size()) return 0;
  for (std::size_t i = 1; i < len; ++i) {
    const auto c = static_cast<unsigned char>(s[pos + i]);
    if ((c & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (c & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

std::string Cp1252ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) AppendUtf8(out, CodePointOf(static_cast<unsigned char>(c)));
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, pos, cp);
    out += len == 0 ? '?' : ByteOf(cp).value_or('?');
    pos += len == 0 ? 1 : len;
  }
  return out;
}

Result<std::string> Utf8ToCp1252Exactly(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t pos = 0; pos < utf8.size();) {
    char32_t cp = 0;
    const std::size_t len = DecodeUtf8(utf8, pos, cp);
    if (len == 0)
      return Result<std::string>::Error(ErrorKind::Unsupported,
                                        "it is not valid UTF-8 text");
    const std::optional<char> byte = ByteOf(cp);
    if (!byte)
      return Result<std::string>::Error(
          ErrorKind::Unsupported,
          "its character \"" + std::string(utf8.substr(pos, len)) +
              "\" is not in the game's code page (Windows-1252)");
    out += *byte;
    pos += len;
  }
  return out;
}

}  // namespace Orvane
