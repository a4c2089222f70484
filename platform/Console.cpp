#include "Console.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace Orvane {

#ifdef _WIN32

void OpenConsole() {
  AllocConsole();
  FILE* stream = nullptr;
  freopen_s(&stream, "CONOUT$", "w", stdout);
  freopen_s(&stream, "CONIN$", "r", stdin);
  freopen_s(&stream, "CONOUT$", "w", stderr);
}

void SetConsoleColour(ConsoleColour colour) {
  std::fflush(stdout);
  SetConsoleTextAttribute(GetStdHandle(STD_OUTPUT_HANDLE), static_cast<WORD>(colour));
}

// The console belongs to the program and goes away with it.
void RestoreConsoleColour() {}

#else

namespace {

bool StdoutIsTerminal() { return isatty(fileno(stdout)) == 1; }

const char* AnsiSequence(ConsoleColour colour) {
  switch (colour) {
    case ConsoleColour::BrightGreen: return "\x1b[92m";
    case ConsoleColour::BrightWhite: return "\x1b[97m";
  }
  return "";
}

}  // namespace

// Standard output already is the console the program was started from.
void OpenConsole() {}

void SetConsoleColour(ConsoleColour colour) {
  if (!StdoutIsTerminal()) return;
  std::fputs(AnsiSequence(colour), stdout);
  std::fflush(stdout);
}

void RestoreConsoleColour() {
  if (!StdoutIsTerminal()) return;
  std::fputs("\x1b[0m", stdout);
  std::fflush(stdout);
}

#endif

}  // namespace Orvane
