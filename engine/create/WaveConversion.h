#pragma once
// One audio file brought to what packing would store of it, written as the 44-byte WAVE file
// that export writes: what a bank would get, to listen to before packing.
#include <filesystem>

#include "Reporter.h"
#include "SoundImport.h"
#include "Status.h"

namespace Orvane {

struct WrittenWave {
  SoundFormat Format;
  std::uint32_t DataSize = 0;
  bool Copied = false;  // the samples were taken byte for byte
};

// Converts `file` under `request` (as bank creation would) into `out`, atomically; the
// conversion's note goes to `report`. Fails naming the file.
Result<WrittenWave> ConvertToWave(const std::filesystem::path& file,
                                  const std::filesystem::path& out, const FormatRequest& request,
                                  const Reporter& report);

}  // namespace Orvane
