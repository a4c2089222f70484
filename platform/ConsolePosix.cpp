// The console on POSIX systems: the standard output the program was started with.
#include "Console.h"

#include <cstdio>

#include <unistd.h>

namespace Orvane {
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

// A terminal takes UTF-8 as it comes.
void PrepareConsoleText() {}

void RestoreConsoleColour() {
  if (!StdoutIsTerminal()) return;
  std::fputs("\x1b[0m", stdout);
  std::fflush(stdout);
}

}  // namespace Orvane
