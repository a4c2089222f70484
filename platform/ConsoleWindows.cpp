// The console on Windows: a console window of the process's own, with its text attributes.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "Console.h"

namespace Orvane {

namespace {

// Points the C stream `stream`, descriptor `fd`, at the console device `device`. freopen cannot
// do it everywhere: a program started without a console has streams bound to no descriptor,
// and some C runtimes refuse to reopen those.
void Reopen(const wchar_t* device, int fd, FILE* stream) {
  const HANDLE handle = CreateFileW(device, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return;
  const int opened = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
  if (opened < 0) {
    CloseHandle(handle);
    return;
  }
  if (opened != fd) {
    _dup2(opened, fd);
    _close(opened);
  }
#if !defined(_UCRT)
  if (_fileno(stream) < 0) stream->_file = fd;
#endif
}

}  // namespace

void OpenConsole() {
  AllocConsole();  // fails, harmlessly, when the process has one already
  Reopen(L"CONIN$", 0, stdin);
  Reopen(L"CONOUT$", 1, stdout);
  Reopen(L"CONOUT$", 2, stderr);
  PrepareConsoleText();
}

void SetConsoleColour(ConsoleColour colour) {
  std::fflush(stdout);
  SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), static_cast<WORD>(colour));
}

// The console window goes with the program: its colours need no restoring.
void RestoreConsoleColour() {}

void PrepareConsoleText() {
  // The program's text is UTF-8 throughout; the console shows it so.
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
  // Lines end in "\n" as they do on every system: a listing or CSV is the same bytes.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace Orvane
