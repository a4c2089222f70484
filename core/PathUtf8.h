#pragma once
// Paths and text: every string inside the program is UTF-8, and a path becomes one, or is made
// from one, only here. The path's own narrow string would be the ANSI code page on Windows.
#include <filesystem>
#include <string>
#include <string_view>

namespace Orvane {

inline std::string PathToUtf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return {text.begin(), text.end()};
}

inline std::filesystem::path Utf8ToPath(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

}  // namespace Orvane
