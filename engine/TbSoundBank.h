#pragma once
// A parsed bank: its count and one element per slot of its offset table.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

struct BankEntry {
  std::uint32_t Offset = 0;  // the table's value: where the header starts in the file
  TbSoundEntry Entry;        // header bytes past the end of the file read as zero
  std::string Damage;        // why the entry cannot be exported or played; empty when sound

  bool Damaged() const { return !Damage.empty(); }
};

struct TbSoundBank {
  std::uint32_t Count = 0;
  std::vector<BankEntry> Entries;
};

// Largest bank file: sizes and offsets are 32-bit.
inline constexpr std::uint64_t kMaxBankFileSize = 0xFFFFFFFFull;

// Reads the count, the offset table and every header of a whole bank file. Refuses a file too
// short for its count or table, or one whose count is 0; entries whose header or sample data
// lie past the end are kept and marked damaged. Never reads outside `file`.
Result<TbSoundBank> ParseBank(std::span<const std::uint8_t> file);

// True when `file` is at least 4 bytes long and its count is 0.
bool DeclaresNoSounds(std::span<const std::uint8_t> file);

}  // namespace Orvane
