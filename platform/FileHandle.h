// Between File.cpp and each system's file: closing a handle of the system's, and copying
// through memory where the system has no faster way.
#pragma once

#include "File.h"

namespace Orvane {

// Closes `handle` unless it is kNoHandle, ignoring a failure (nothing written is at stake), and
// leaves it kNoHandle.
void CloseQuietly(SystemHandle& handle) noexcept;

// Appends `length` bytes of `source` from `offset` to `target`, a chunk at a time; the range is
// checked by the caller.
Status CopyThroughMemory(const InputFile& source, OutputFile& target, std::uint64_t offset,
                         std::uint64_t length);

}  // namespace Orvane
