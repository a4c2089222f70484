#pragma once
// Runs a program as a child process and captures what it printed and how it ended.
#include <filesystem>
#include <string>
#include <vector>

namespace Orvane::Test {

struct ProgramRun {
  int ExitCode = -1;  // 128 + signal number when a signal ended it; 127 when it cannot start
  std::string Out;
  std::string Err;
};

// Runs `program` (a path, or a name looked up in PATH) with `args` in `workingDir`.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& workingDir);

// Runs the orvane-cli built with the tests.
ProgramRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir);

}  // namespace Orvane::Test
