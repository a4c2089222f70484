#include "BankWriter.h"

#include <array>

#include "ByteOrder.h"
#include "TbSoundBank.h"
#include "Text.h"

namespace Orvane {

Result<std::vector<std::uint32_t>> LayOutBank(std::span<const TbSoundEntry> headers) {
  std::vector<std::uint32_t> offsets;
  offsets.reserve(headers.size());
  std::uint64_t pos = 4 + 4 * std::uint64_t{headers.size()};
  for (const TbSoundEntry& h : headers) {
    if (pos > kMaxBankFileSize) break;
    offsets.push_back(static_cast<std::uint32_t>(pos));
    pos += TbSoundEntry::kSize + h.DataSize;
  }
  if (pos > kMaxBankFileSize)
    return Result<std::vector<std::uint32_t>>::Error(
        Str("the bank would be ", pos, " bytes or more; a bank must stay below 4 GiB, so "
            "make some sounds shorter or split them over two banks"));
  return offsets;
}

std::vector<std::uint8_t> EncodeTable(std::span<const std::uint32_t> offsets) {
  std::vector<std::uint8_t> table(4 + 4 * offsets.size());
  StoreU32(table.data(), static_cast<std::uint32_t>(offsets.size()));
  for (std::size_t i = 0; i < offsets.size(); ++i) StoreU32(&table[4 + 4 * i], offsets[i]);
  return table;
}

Status WriteBank(const std::filesystem::path& target, std::span<const TbSoundEntry> headers,
                 const SampleWriter& writeSamples) {
  auto offsets = LayOutBank(headers);
  if (!offsets) return offsets.status();
  auto file = AtomicFile::Create(target);
  if (!file) return file.status();
  AtomicFile& out = *file;

  if (Status s = out.Write(EncodeTable(*offsets)); !s) return s;

  for (std::size_t i = 0; i < headers.size(); ++i) {
    TbSoundEntry header = headers[i];
    header.HeaderSize = TbSoundEntry::kSize;
    std::array<std::uint8_t, TbSoundEntry::kSize> bytes{};
    header.Encode(bytes);
    if (Status s = out.Write(bytes); !s) return s;
    const std::uint64_t before = out.BytesWritten();
    if (Status s = writeSamples(i, out); !s) return s;
    if (out.BytesWritten() - before != header.DataSize)
      return Status::Error(Str("sound ", i, " wrote ", out.BytesWritten() - before,
                               " sample bytes instead of ", header.DataSize));
  }
  return out.Commit();
}

}  // namespace Orvane
