#pragma once
// The program's console: on Windows a console window of its own, elsewhere the standard output
// the program was started with. Colours are the console's text attributes; on a terminal they
// become ANSI sequences, and output that is not a terminal stays plain text.
#include <cstdint>

namespace Orvane {

enum class ConsoleColour : std::uint16_t {
  BrightGreen = 10,  // green plus intensity
  BrightWhite = 15,  // red, green, blue plus intensity
};

// Gives the process a console and points the C standard streams at it. Failures are ignored:
// output may then be lost, and the program goes on.
void OpenConsole();

// Text written to standard output from now on appears in `colour`.
void SetConsoleColour(ConsoleColour colour);

// Gives the terminal back its own colours before the program ends.
void RestoreConsoleColour();

// Makes the console the program writes to show its UTF-8 text as UTF-8 (a Windows console's
// code page is another unless told), and its lines end in "\n" (no "\r" before it on Windows);
// nothing to do elsewhere.
void PrepareConsoleText();

}  // namespace Orvane
