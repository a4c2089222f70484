#include "RunProgram.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <stdexcept>

#include "PathUtf8.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Test {
namespace {

std::string ReadText(const std::filesystem::path& file) {
  const Bytes bytes = ReadFile(file);
  return std::string(bytes.begin(), bytes.end());
}

#if !defined(_WIN32)

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

#endif

}  // namespace

#if defined(_WIN32)

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::filesystem::path& workingDir) {
  // The captures live outside `workingDir`, which the program may list.
  TempDir captures;
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const auto capture = [&](const char* name) {
    return CreateFileW((captures / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                       CREATE_ALWAYS, 0, nullptr);
  };
  const HANDLE out = capture("stdout"), err = capture("stderr");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  const std::string file = BuiltFile(program);
  std::vector<std::string> words = {file};
  words.insert(words.end(), args.begin(), args.end());
  std::wstring line = CommandLineOf(words);
  PROCESS_INFORMATION process{};
  ProgramRun run;
  if (CreateProcessW(Utf8ToPath(file).c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                     workingDir.c_str(), &startup, &process)) {
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    run.ExitCode = static_cast<int>(code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    run.ExitCode = 127;
  }
  CloseHandle(out);
  CloseHandle(err);
  run.Out = ReadText(captures / "stdout");
  run.Err = ReadText(captures / "stderr");
  return run;
}

#else

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

#endif

ProgramRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& workingDir) {
  return RunProgram(ORVANE_CLI_PATH, args, workingDir);
}

}  // namespace Orvane::Test
