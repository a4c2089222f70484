#pragma once
// The working directory, as the program's messages and the output folder take it.
#include <string>

namespace Orvane {

// The working directory in UTF-8 followed by one path separator ('/', or '\' on Windows),
// asked anew at every call.
std::string GetCurrentDir();

}  // namespace Orvane
