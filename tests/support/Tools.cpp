#include "Tools.h"

#include <cstdio>
#include <cstdlib>

#include "PathUtf8.h"
#include "TestFiles.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace Orvane::Test {

std::string ShellWord(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

int RunTool(const std::string& program, const std::vector<std::string>& args,
            const std::filesystem::path& dir) {
  std::string command = "cd " + ShellWord(ShellPath(dir)) + " && " + program;
  for (const std::string& arg : args) command += " " + ShellWord(arg);
  return RunShell(command);
}

#if !defined(_WIN32)

std::string ShellPath(const std::filesystem::path& path) { return PathToUtf8(path); }

bool UnderWine() { return false; }

int RunShell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
}

std::string ShellOutput(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

#else

namespace {

// `arg` quoted so that the program's command line parser gives it back whole.
std::wstring Quoted(const std::wstring& arg) {
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? 2 * slashes + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(2 * slashes, L'\\');
  return out + L"\"";
}

// Runs sh -c `command` natively, its standard output into `out` when given. Wine does not wait
// for a Unix program it starts (its process handle is signalled at once, with no exit status),
// so the shell leaves its status in a file, and that file is waited for.
int Shell(const std::string& command, const std::filesystem::path* out) {
  const TempDir dir;
  const std::filesystem::path status = dir / "status";
  std::string script = "(" + command + ")";
  if (out != nullptr) script += " >" + ShellWord(ShellPath(*out));
  const std::string partial = ShellWord(ShellPath(dir / "status.part"));
  script += "; echo $? >" + partial + " && mv " + partial + " " + ShellWord(ShellPath(status));
  std::wstring line = L"Z:\\bin\\sh -c " + Quoted(Utf8ToPath(script).native());

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return 127;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int waited = 0; !std::filesystem::exists(status); ++waited) {
    if (waited > 10 * 60 * 100) return 128;  // ten minutes: no tool the tests run takes that long
    Sleep(10);
  }
  const Bytes text = ReadFile(status);
  return std::atoi(std::string(text.begin(), text.end()).c_str());
}
}  // namespace

std::wstring CommandLineOf(const std::vector<std::string>& words) {
  std::wstring line;
  for (const std::string& word : words) line += (line.empty() ? L"" : L" ") + Quoted(Utf8ToPath(word).native());
  return line;
}

std::string BuiltFile(const std::string& path) { return path.starts_with("/") ? "Z:" + path : path; }

std::string ShellPath(const std::filesystem::path& path) {
  std::string text = PathToUtf8(std::filesystem::absolute(path));
  if (text.size() >= 2 && (text[0] == 'Z' || text[0] == 'z') && text[1] == ':') text.erase(0, 2);
  for (char& c : text)
    if (c == '\\') c = '/';
  return text;
}

int RunShell(const std::string& command) { return Shell(command, nullptr); }

bool UnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string ShellOutput(const std::string& command) {
  const TempDir dir;
  const std::filesystem::path out = dir / "out";
  Shell(command, &out);
  const Bytes bytes = ReadFile(out);
  return {bytes.begin(), bytes.end()};
}

#endif

}  // namespace Orvane::Test
