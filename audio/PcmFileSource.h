#pragma once
// Samples stored as plain little-endian PCM or IEEE float in one span of a file (a WAVE data
// chunk whose place the caller's own reader found), read as float frames in this process: they
// need no decoding library, so neither its faults nor a child process.
#include <cstdint>
#include <filesystem>
#include <memory>

#include "FloatSource.h"
#include "Status.h"

namespace Orvane::Audio {

struct PcmLayout {
  double RateHz = 0;
  unsigned Channels = 0;
  unsigned Bits = 0;   // 8 (unsigned), 16, 24 or 32 for integers; 32 or 64 for float
  bool Float = false;
  std::uint64_t Offset = 0;  // of the first sample byte
  std::uint64_t Size = 0;    // sample bytes; a partial last frame is left out
};

// Integers are scaled by 2^(bits-1), as every decoder here gives them. Fails (Unsupported) for
// a layout other than those above, or Io when the file cannot be opened.
Result<std::unique_ptr<FloatSource>> OpenPcmFileSource(const std::filesystem::path& file,
                                                       const PcmLayout& layout);

}  // namespace Orvane::Audio
