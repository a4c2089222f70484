// The arguments on POSIX: bytes, UTF-8 on every system this program runs on.
#include "CommandLine.h"

namespace Orvane {

std::vector<std::string> Utf8Arguments(int argc, char** argv) { return {argv, argv + argc}; }

}  // namespace Orvane
