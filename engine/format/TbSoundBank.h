#pragma once
// A parsed bank: its count and one element per slot of its offset table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "Status.h"
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
// "4 GiB": the size a bank stays below.
std::string BankSizeLimitText();
// Refuses (TooLarge) a bank of `size` bytes, which 32-bit offsets cannot address:
// "<subject> <size> bytes; a bank must stay below 4 GiB".
Status CheckBankSize(std::uint64_t size, std::string_view subject);
// How a bank that would be too large is mended.
inline constexpr std::string_view kBankSizeMend =
    "; make some sounds shorter or split them over two banks";

// The bytes of the count and the offset table of a bank of `count` sounds: where its sounds
// may begin.
inline constexpr std::uint64_t TableBytes(std::uint64_t count) { return 4 + 4 * count; }

}  // namespace Orvane
