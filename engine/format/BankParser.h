#pragma once
// Reading a bank's count, offset table and headers over any byte source, every read checked.
#include <cstdint>
#include <span>

#include "ByteSource.h"
#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

// Reads the count, the offset table and every header of a bank, and nothing else: the cost
// follows the number of sounds, not the size of the file. Refuses a file too short for its
// count or table (NotABank), one whose count is 0 (NoSounds), one of 4 GiB or more (TooLarge),
// and a read that fails (Io). Entries whose header or sample data lie past the end are kept
// and marked damaged.
Result<TbSoundBank> ParseBank(ByteSource& source);
// The same over a whole bank file in memory.
Result<TbSoundBank> ParseBank(std::span<const std::uint8_t> file);

}  // namespace Orvane
