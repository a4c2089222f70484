// Between File.cpp and each system's file: closing a handle of the system's.
#pragma once

#include "File.h"

namespace Orvane {

// Closes `handle` unless it is kNoHandle, ignoring a failure (nothing written is at stake), and
// leaves it kNoHandle.
void CloseQuietly(SystemHandle& handle) noexcept;

}  // namespace Orvane
