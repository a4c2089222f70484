#pragma once
// A parsed bank: its count and one element per slot of its offset table.
#include <cstdint>
#include <string>
#include <vector>

#include "TbSoundEntry.h"

namespace Orvane {

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

}  // namespace Orvane
