#include <algorithm>
#include <array>

#include "ByteOrder.h"
#include "TbSoundBank.h"
#include "Text.h"

namespace Orvane {
namespace {

// The 40 header bytes at `offset`, with bytes past the end of the file read as zero.
TbSoundEntry HeaderAt(std::span<const std::uint8_t> file, std::uint64_t offset) {
  std::array<std::uint8_t, TbSoundEntry::kSize> bytes{};
  if (offset < file.size()) {
    const auto available = std::min<std::uint64_t>(TbSoundEntry::kSize, file.size() - offset);
    std::copy_n(file.data() + offset, available, bytes.begin());
  }
  return TbSoundEntry::Decode(bytes);
}

std::string DamageOf(std::uint64_t fileSize, std::uint32_t offset, const TbSoundEntry& e) {
  const std::uint64_t headerEnd = std::uint64_t{offset} + TbSoundEntry::kSize;
  if (headerEnd > fileSize)
    return Str("its header at byte ", offset, " runs past the end of the file (", fileSize,
               " bytes)");
  const std::uint64_t dataStart = std::uint64_t{offset} + e.HeaderSize;
  const std::uint64_t dataEnd = dataStart + e.DataSize;
  if (dataEnd > fileSize)
    return Str("its sample data (bytes ", dataStart, " to ", dataEnd,
               ") runs past the end of the file (", fileSize, " bytes)");
  return {};
}

}  // namespace

bool DeclaresNoSounds(std::span<const std::uint8_t> file) {
  return file.size() >= 4 && LoadU32(file.data()) == 0;
}

Result<TbSoundBank> ParseBank(std::span<const std::uint8_t> file) {
  if (file.size() < 4)
    return Result<TbSoundBank>::Error(
        Str("the file is ", file.size(), " bytes long, too short to hold a sound count"));
  if (file.size() > kMaxBankFileSize)
    return Result<TbSoundBank>::Error("the file is 4 GiB or larger, more than a bank can address");

  TbSoundBank bank;
  bank.Count = LoadU32(file.data());
  if (bank.Count == 0) return Result<TbSoundBank>::Error("the bank holds no sounds (its count is 0)");

  const std::uint64_t tableEnd = 4 + std::uint64_t{4} * bank.Count;
  if (tableEnd > file.size())
    return Result<TbSoundBank>::Error(Str("its count of ", bank.Count, " sounds needs an offset table of ", tableEnd,
            " bytes, but the file is ", file.size(), " bytes long"));

  bank.Entries.reserve(bank.Count);
  for (std::uint32_t i = 0; i < bank.Count; ++i) {
    BankEntry element;
    element.Offset = LoadU32(file.data() + 4 + std::uint64_t{4} * i);
    element.Entry = HeaderAt(file, element.Offset);
    element.Damage = DamageOf(file.size(), element.Offset, element.Entry);
    bank.Entries.push_back(std::move(element));
  }
  return bank;
}

}  // namespace Orvane
