#pragma once
#include <string>

namespace Orvane {

// The working directory followed by one path separator, asked anew at every call.
std::string GetCurrentDir();

}  // namespace Orvane
