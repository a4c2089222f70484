#include "Commands.h"

namespace Orvane::Cli {

// Filled in with playback.
void AddPlayCommand(CLI::App&, int&) {}

}  // namespace Orvane::Cli
