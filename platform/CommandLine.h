#pragma once
// The program's arguments as the UTF-8 text everything inside the program is.
#include <string>
#include <vector>

namespace Orvane {

// On POSIX the arguments as they came; on Windows the wide command line's, since the narrow
// arguments are in the ANSI code page, which loses every character it lacks.
std::vector<std::string> Utf8Arguments(int argc, char** argv);

}  // namespace Orvane
