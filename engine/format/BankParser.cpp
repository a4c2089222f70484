#include "BankParser.h"

#include <algorithm>
#include <array>
#include <new>

#include "ByteOrder.h"
#include "Text.h"

namespace Orvane {
namespace {

using BankResult = Result<TbSoundBank>;
constexpr std::uint64_t kHeaderSize = TbSoundEntry::kSize;

// Headers this close together are fetched in one read: copying up to 2 KiB between them costs
// less than another request (measured on 100,000 headers 1 to 4 KiB apart). A run stays short
// so that its buffer does too.
constexpr std::uint64_t kJoinGap = 2048;
constexpr std::uint64_t kMaxRun = std::uint64_t{1} << 20;

// A read that failed, with the kind and the reason the source gave.
Status ReadFailed(const Status& failure, std::uint64_t offset, std::uint64_t length) {
  return failure.Prefixed(Str("its bytes ", offset, " to ", offset + length, " could not be read: "))
      .At(Where{{}, {}, offset});
}

std::string DamageOf(std::uint64_t fileSize, std::uint32_t offset, const TbSoundEntry& e) {
  const std::uint64_t headerEnd = std::uint64_t{offset} + kHeaderSize;
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

// Fills in the header and the damage of every entry whose Offset is set. The entries are
// visited in file order, so that neighbouring headers (a packed bank of short sounds) share
// one read and slots that name one header read it once.
Status ReadHeaders(ByteSource& source, std::vector<BankEntry>& entries) {
  const std::uint64_t fileSize = source.Size();
  // Offset in the high half, slot in the low half: sorting orders by offset.
  std::vector<std::uint64_t> order(entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i)
    order[i] = (std::uint64_t{entries[i].Offset} << 32) | i;
  if (!std::is_sorted(order.begin(), order.end())) std::sort(order.begin(), order.end());
  const auto entryAt = [&](std::size_t k) -> BankEntry& { return entries[order[k] & 0xFFFFFFFF]; };

  std::vector<std::uint8_t> run;
  for (std::size_t first = 0; first < order.size();) {
    const std::uint64_t start = entryAt(first).Offset;
    std::uint64_t end = start;  // past the run's last byte that the file holds
    std::size_t last = first;
    for (; last < order.size(); ++last) {
      const std::uint64_t at = entryAt(last).Offset;
      if (at > end + kJoinGap || at + kHeaderSize - start > kMaxRun) break;
      end = std::max(end, std::min(at + kHeaderSize, fileSize));
    }
    run.resize(end - start);
    if (!run.empty())
      if (Status read = source.ReadAt(start, run); !read) return ReadFailed(read, start, run.size());
    for (std::size_t k = first; k < last; ++k) {
      BankEntry& element = entryAt(k);
      std::array<std::uint8_t, kHeaderSize> bytes{};  // bytes past the end of the file read as zero
      if (element.Offset < end)
        std::copy_n(run.begin() + (element.Offset - start),
                    std::min(kHeaderSize, end - element.Offset), bytes.begin());
      element.Entry = TbSoundEntry::Decode(bytes);
      element.Damage = DamageOf(fileSize, element.Offset, element.Entry);
    }
    first = last;
  }
  return Status::Ok();
}

}  // namespace

Result<TbSoundBank> ParseBank(ByteSource& source) {
  const std::uint64_t size = source.Size();
  if (size < 4)
    return BankResult::Error(ErrorKind::NotABank,
                             Str("the file is ", size, " bytes long, too short to hold a sound count"));
  if (Status fits = CheckBankSize(size, "it is"); !fits) return fits;

  std::array<std::uint8_t, 4> count{};
  if (Status read = source.ReadAt(0, count); !read) return ReadFailed(read, 0, count.size());
  TbSoundBank bank;
  bank.Count = LoadU32(count.data());
  if (bank.Count == 0)
    return BankResult::Error(ErrorKind::NoSounds, "the bank holds no sounds (its count is 0)");

  // Checked before anything is allocated: a count of four billion in a tiny file is refused
  // here, not by the memory.
  const std::uint64_t tableEnd = TableBytes(bank.Count);
  if (tableEnd > size)
    return BankResult::Error(ErrorKind::NotABank,
                             Str("its count of ", bank.Count, " sounds needs an offset table of ",
                                 tableEnd, " bytes, but the file is ", size, " bytes long"));
  try {
    std::vector<std::uint8_t> table(tableEnd - 4);
    if (Status read = source.ReadAt(4, table); !read) return ReadFailed(read, 4, table.size());
    bank.Entries.resize(bank.Count);
    for (std::uint32_t i = 0; i < bank.Count; ++i)
      bank.Entries[i].Offset = LoadU32(table.data() + std::uint64_t{4} * i);
    if (Status read = ReadHeaders(source, bank.Entries); !read) return read;
  } catch (const std::bad_alloc&) {
    return BankResult::Error(
        ErrorKind::TooLarge,
        Str("its ", bank.Count, " sounds do not fit in the memory this program can have"));
  }
  return bank;
}

Result<TbSoundBank> ParseBank(std::span<const std::uint8_t> file) {
  MemorySource source(file);
  return ParseBank(source);
}

}  // namespace Orvane
