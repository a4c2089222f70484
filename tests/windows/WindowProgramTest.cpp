// The window program started as from Explorer, with a bank named on its command line: its
// console shows the banner, then the green line, then turns white; its window lists the bank's
// sounds and closes when asked.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "PathUtf8.h"
#include "ProgramInfo.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr WORD kGreen = 10, kWhite = 15;
constexpr const char* kGreenLine = "Hey, check out these teeth!";

// Waits up to `limit` for `done`.
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s) {
  for (const auto end = std::chrono::steady_clock::now() + limit; !done();) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

struct ConsoleRow {
  std::string Text;  // without the spaces that fill the row
  std::vector<WORD> Attributes;  // one per character of Text
};

ConsoleRow ReadRow(HANDLE console, SHORT row) {
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(console, &info);
  std::wstring text(info.dwSize.X, L' ');
  std::vector<WORD> attributes(text.size());
  DWORD read = 0;
  ReadConsoleOutputCharacterW(console, text.data(), static_cast<DWORD>(text.size()), {0, row}, &read);
  ReadConsoleOutputAttribute(console, attributes.data(), static_cast<DWORD>(attributes.size()), {0, row}, &read);
  text.erase(text.find_last_not_of(L' ') + 1);
  attributes.resize(text.size());
  return {PathToUtf8(fs::path(text)), attributes};
}

bool AllAre(const std::vector<WORD>& attributes, WORD attribute) {
  return !attributes.empty() && std::all_of(attributes.begin(), attributes.end(), [&](WORD a) { return a == attribute; });
}

// The visible top-level window of `process` whose title begins with `title`, if any.
HWND WindowOf(DWORD process, const std::wstring& title) {
  struct Search {
    DWORD Process;
    const std::wstring& Title;
    HWND Found = nullptr;
  } search{process, title};
  EnumWindows(
      [](HWND window, LPARAM found) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(found);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        wchar_t text[256] = {};
        GetWindowTextW(window, text, 256);
        if (owner != s.Process || !IsWindowVisible(window) || !std::wstring(text).starts_with(s.Title)) return TRUE;
        s.Found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// Presses `keys` together in `window`, as the keyboard would.
void Press(HWND window, std::initializer_list<WORD> keys) {
  SetForegroundWindow(window);
  std::vector<INPUT> inputs;
  const auto add = [&](WORD key, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (WORD key : keys) add(key, 0);
  for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) add(*key, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

class WindowProgram {
 public:
  WindowProgram(const fs::path& dir, const fs::path& bank) {
    std::wstring line = CommandLineOf({BuiltFile(ORVANE_PROGRAM), PathToUtf8(bank)});
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // No console of this test's: the program makes its own, as when Explorer starts it.
    CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, dir.c_str(),
                   &startup, &process_);
  }
  ~WindowProgram() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  WindowProgram(const WindowProgram&) = delete;
  WindowProgram& operator=(const WindowProgram&) = delete;

  bool Started() const { return process_.hProcess != nullptr; }
  DWORD Id() const { return process_.dwProcessId; }
  std::optional<DWORD> ExitCode(std::chrono::milliseconds limit) const {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) return {};
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

 private:
  PROCESS_INFORMATION process_{};
};

TEST(WindowProgram, ItsConsoleTurnsGreenThenWhiteAndItsWindowListsTheBankAndCloses) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", MakeBank({{.Name = "a", .Data = Samples(8)},
                                        {.Name = "b", .Data = Samples(8)},
                                        {.Name = "c", .Data = Samples(8)}}));
  const WindowProgram program(dir.Path(), dir / "bank.sdt");
  ASSERT_TRUE(program.Started()) << GetLastError();

  // Its console, once it is white: the banner, then the green line.
  FreeConsole();
  HANDLE console = INVALID_HANDLE_VALUE;
  const bool white = WaitFor([&] {
    if (console == INVALID_HANDLE_VALUE) {
      if (!AttachConsole(program.Id())) return false;
      console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
    }
    // A new console may start out white: the green line must be written before it counts.
    CONSOLE_SCREEN_BUFFER_INFO info{};
    return GetConsoleScreenBufferInfo(console, &info) && info.wAttributes == kWhite &&
           ReadRow(console, 1).Text == kGreenLine;
  });
  ASSERT_TRUE(white) << "the console never showed the green line, then turned white";
  const ConsoleRow banner = ReadRow(console, 0), green = ReadRow(console, 1);
  CloseHandle(console);
  FreeConsole();
  ASSERT_TRUE(banner.Text.starts_with(std::string(kProgramName) + " - " + kVersion + " @ ")) << banner.Text;
  EXPECT_TRUE(AllAre(banner.Attributes, banner.Attributes.front()) && banner.Attributes.front() != kGreen);
  EXPECT_TRUE(AllAre(green.Attributes, kGreen));
  EXPECT_TRUE(fs::is_directory(dir / "output")) << "made before the console turns white";

  // The last of the bank's three sounds has a row: its properties open from it.
  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = WindowOf(program.Id(), L"Orvane - v")) != nullptr; }));
  HWND properties = nullptr;
  const bool listed = WaitFor([&] {
    Press(window, {VK_CONTROL, VK_END});
    Press(window, {VK_MENU, VK_RETURN});
    return (properties = WindowOf(program.Id(), L"Properties of sound ")) != nullptr;
  }, 20s);
  ASSERT_TRUE(listed) << "no sound's properties opened";
  wchar_t title[64] = {};
  GetWindowTextW(properties, title, 64);
  EXPECT_EQ(std::wstring(title), L"Properties of sound 2");
  Press(properties, {VK_ESCAPE});
  EXPECT_TRUE(WaitFor([&] { return WindowOf(program.Id(), L"Properties of sound ") == nullptr; }));

  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(20s), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace Orvane::Test
