#include "BankWriter.h"

#include <array>

#include "ByteOrder.h"
#include "TbSoundBank.h"
#include "Text.h"

namespace Orvane {
namespace {

// Runs `writer` for sound `index` and checks that it wrote exactly `expected` bytes of `what`.
Status WritePart(const SampleWriter& writer, std::size_t index, AtomicFile& out,
                 std::uint64_t expected, const char* what) {
  if (!writer) {
    if (expected == 0) return Status::Ok();
    return Status::Error(ErrorKind::Failed,
                         Str("sound ", index, " has ", expected, " ", what, " but nothing writes them"));
  }
  const std::uint64_t before = out.BytesWritten();
  if (Status s = writer(index, out); !s) return s;
  const std::uint64_t wrote = out.BytesWritten() - before;
  if (wrote != expected)
    return Status::Error(ErrorKind::Failed,
                         Str("sound ", index, " wrote ", wrote, " ", what, " instead of ", expected));
  return Status::Ok();
}

}  // namespace

Result<std::vector<std::uint32_t>> LayOutBank(std::span<const TbSoundEntry> headers) {
  using Layout = Result<std::vector<std::uint32_t>>;
  std::vector<std::uint32_t> offsets;
  offsets.reserve(headers.size());
  std::uint64_t pos = TableBytes(headers.size());
  for (const TbSoundEntry& h : headers) {
    if (pos > kMaxBankFileSize) break;
    if (h.HeaderSize < TbSoundEntry::kSize)
      return Layout::Error(ErrorKind::Damaged,
                           Str("sound ", offsets.size(), " has a HeaderSize of ", h.HeaderSize,
                               ", less than the ", TbSoundEntry::kSize, " bytes of its header"));
    offsets.push_back(static_cast<std::uint32_t>(pos));
    pos += std::uint64_t{h.HeaderSize} + h.DataSize;
  }
  if (Status fits = CheckBankSize(pos, "the bank would be at least"); !fits)
    return fits.Suffixed(std::string(kBankSizeMend));
  return offsets;
}

std::vector<std::uint8_t> EncodeTable(std::span<const std::uint32_t> offsets) {
  std::vector<std::uint8_t> table(TableBytes(offsets.size()));
  StoreU32(table.data(), static_cast<std::uint32_t>(offsets.size()));
  for (std::size_t i = 0; i < offsets.size(); ++i) StoreU32(&table[TableBytes(i)], offsets[i]);
  return table;
}

Status WriteBank(const std::filesystem::path& target, std::span<const TbSoundEntry> headers,
                 const SampleWriter& writeSamples, const SampleWriter& writeExtraHeader) {
  auto offsets = LayOutBank(headers);
  if (!offsets) return offsets.status();
  auto file = AtomicFile::Create(target);
  if (!file) return file.status();
  AtomicFile& out = *file;

  if (Status s = out.Write(EncodeTable(*offsets)); !s) return s;

  for (std::size_t i = 0; i < headers.size(); ++i) {
    const TbSoundEntry& header = headers[i];
    std::array<std::uint8_t, TbSoundEntry::kSize> bytes{};
    header.Encode(bytes);
    if (Status s = out.Write(bytes); !s) return s;
    if (Status s = WritePart(writeExtraHeader, i, out, header.HeaderSize - TbSoundEntry::kSize,
                             "extra header bytes");
        !s)
      return s;
    if (Status s = WritePart(writeSamples, i, out, header.DataSize, "sample bytes"); !s) return s;
  }
  return out.Commit();
}

}  // namespace Orvane
