#include "RunProgram.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

#include "PathUtf8.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

std::string ReadText(const std::filesystem::path& file) {
  const Bytes bytes = ReadFile(file);
  return std::string(bytes.begin(), bytes.end());
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void ExecChild(const std::string& program, std::vector<char*>& argv,
                            const std::filesystem::path& workingDir, const char* outFile,
                            const char* errFile) {
  const int out = ::open(outFile, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = ::open(errFile, O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (out < 0 || err < 0 || ::dup2(out, STDOUT_FILENO) < 0 || ::dup2(err, STDERR_FILENO) < 0 ||
      ::chdir(workingDir.c_str()) != 0)
    ::_exit(127);
  ::execvp(program.c_str(), argv.data());
  ::_exit(127);
}

}  // namespace

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& workingDir) {
  // The captures live outside `workingDir`, which the program may list.
  TempDir captures;
  const std::string outFile = PathToUtf8(captures / "stdout");
  const std::string errFile = PathToUtf8(captures / "stderr");
  std::vector<std::string> words = {program};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const pid_t child = ::fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) ExecChild(program, argv, workingDir, outFile.c_str(), errFile.c_str());

  int status = 0;
  if (::waitpid(child, &status, 0) != child) throw std::runtime_error("waitpid failed");
  ProgramRun run;
  run.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.Out = ReadText(outFile);
  run.Err = ReadText(errFile);
  return run;
}

ProgramRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir) {
  return RunProgram(ORVANE_CLI_PATH, args, workingDir);
}

}  // namespace Orvane::Test
