#pragma once
// A parsed bank: its count and one element per slot of its offset table.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

class ByteSource;

struct BankEntry {
  std::uint32_t Offset = 0;  // the table's value: where the header starts in the file
  TbSoundEntry Entry;        // header bytes past the end of the file read as zero
  std::string Damage;        // why the entry cannot be exported or played; empty when sound

  bool Damaged() const { return !Damage.empty(); }
  bool operator==(const BankEntry&) const = default;
};

struct TbSoundBank {
  std::uint32_t Count = 0;
  std::vector<BankEntry> Entries;
};

// Largest bank file: sizes and offsets are 32-bit.
inline constexpr std::uint64_t kMaxBankFileSize = 0xFFFFFFFFull;

// Refuses (TooLarge) a file of `size` bytes that a bank's 32-bit offsets cannot address.
Status CheckBankFileSize(std::uint64_t size);

// Reads the count, the offset table and every header of a bank, and nothing else: the cost
// follows the number of sounds, not the size of the file. Refuses a file too short for its
// count or table (NotABank), one whose count is 0 (NoSounds), one of 4 GiB or more (TooLarge),
// and a read that fails (Io). Entries whose header or sample data lie past the end are kept
// and marked damaged.
Result<TbSoundBank> ParseBank(ByteSource& source);
// The same over a whole bank file in memory.
Result<TbSoundBank> ParseBank(std::span<const std::uint8_t> file);

}  // namespace Orvane
