// The arguments on Windows, from the command line in UTF-16.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>

#include "CommandLine.h"
#include "PathUtf8.h"

namespace Orvane {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(PathToUtf8(std::filesystem::path(wide[i])));
  LocalFree(wide);
  return arguments;
}

}  // namespace Orvane
