#pragma once
#include <string>
#include <string_view>

namespace Orvane {

// `utf8` with every character this system's file names refuse (and the path separators)
// replaced by '_', so that it names a file inside a folder and never a path out of it.
std::string SafeFileNamePart(std::string_view utf8);

}  // namespace Orvane
