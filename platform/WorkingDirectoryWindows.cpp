// The working directory on Windows, asked for in UTF-16, with the separator '\'.
#include <windows.h>

#include <filesystem>
#include <string>

#include "PathUtf8.h"
#include "WorkingDirectory.h"

namespace Orvane {

std::string GetCurrentDir() {
  std::wstring dir(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(dir.size()), dir.data());
    if (n == 0) return ".\\";
    if (n < dir.size()) {
      dir.resize(n);
      break;
    }
    dir.resize(n);  // n counts the terminator when the buffer was too small
  }
  return PathToUtf8(std::filesystem::path(dir)) + '\\';
}

}  // namespace Orvane
