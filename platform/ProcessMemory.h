#pragma once
// How much memory this process holds, for the checks and benchmarks that watch it.
#include <cstddef>
#include <optional>

namespace Orvane {

// The process's resident set in bytes; empty where the system does not say.
std::optional<std::size_t> ResidentBytes();

}  // namespace Orvane
