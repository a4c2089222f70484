#include "LoadedBank.h"

#include <algorithm>
#include <array>
#include <new>

#include "BankParser.h"
#include "ByteSource.h"
#include "Text.h"

namespace Orvane {
namespace {

// The whole file in a fresh buffer, read with one request.
Result<PageBuffer> ReadWholeFile(FileSource& source) {
  if (Status fits = CheckBankSize(source.Size(), "it is"); !fits) return Result<PageBuffer>(fits);
  PageBuffer buffer;
  try {
    buffer = PageBuffer(static_cast<std::size_t>(source.Size()));
  } catch (const std::bad_alloc&) {
    return Result<PageBuffer>::Error(
        ErrorKind::TooLarge,
        Str("its ", source.Size(), " bytes do not fit in the memory this program can have"));
  }
  if (Status read = source.ReadAt(0, std::span(buffer.data(), buffer.size())); !read)
    return Result<PageBuffer>(read.Prefixed(Str("its ", source.Size(), " bytes could not all be read: ")));
  return buffer;
}

}  // namespace

Result<std::shared_ptr<const LoadedBank>> LoadedBank::Read(const std::filesystem::path& file) {
  using Loaded = Result<std::shared_ptr<const LoadedBank>>;
  auto source = FileSource::Open(file);
  if (!source) return Loaded(source.status());
  auto buffer = ReadWholeFile(*source);
  if (!buffer) return Loaded(buffer.status());
  auto parsed = ParseBank(std::span<const std::uint8_t>(buffer->data(), buffer->size()));
  if (!parsed) return Loaded(parsed.status());
  std::shared_ptr<LoadedBank> bank(
      new LoadedBank(std::move(*buffer), std::move(*parsed), source->File().Stamp()));
  return std::shared_ptr<const LoadedBank>(std::move(bank));
}

LoadedBank::LoadedBank(PageBuffer buffer, TbSoundBank parsed, FileStamp stamp)
    : buffer_(std::move(buffer)), parsed_(std::move(parsed)), stamp_(stamp) {
  FindClusters();
}

TbSoundEntry LoadedBank::HeaderAt(std::uint32_t offset) const {
  std::array<std::uint8_t, TbSoundEntry::kSize> bytes{};
  if (offset < buffer_.size()) {
    const auto available = std::min<std::uint64_t>(TbSoundEntry::kSize, buffer_.size() - offset);
    std::copy_n(buffer_.data() + offset, available, bytes.begin());
  }
  return TbSoundEntry::Decode(bytes);
}

void LoadedBank::FindClusters() {
  const std::uint64_t size = buffer_.size();
  struct Extent {
    std::uint32_t Offset;
    std::uint64_t End;
  };
  std::vector<Extent> extents;
  extents.reserve(parsed_.Entries.size());
  for (const BankEntry& e : parsed_.Entries) {
    if (e.Offset >= size) continue;  // no byte of it is in the file
    const std::uint64_t span = std::max<std::uint64_t>(
        TbSoundEntry::kSize, std::uint64_t{e.Entry.HeaderSize} + e.Entry.DataSize);
    extents.push_back({e.Offset, std::min(size, e.Offset + span)});
  }
  std::sort(extents.begin(), extents.end(),
            [](const Extent& a, const Extent& b) { return a.Offset < b.Offset; });
  for (const Extent& e : extents) {
    // Sounds whose bytes overlap (or that share one header) form one cluster.
    if (clusters_.empty() || e.Offset >= clusters_.back().End)
      clusters_.push_back({e.Offset, e.End});
    else
      clusters_.back().End = std::max(clusters_.back().End, e.End);
    if (clusterOf_.empty() || clusterOf_.back().first != e.Offset)
      clusterOf_.emplace_back(e.Offset, clusters_.size() - 1);
  }
}

std::optional<std::size_t> LoadedBank::ClusterOf(std::uint32_t offset) const {
  const auto it = std::lower_bound(
      clusterOf_.begin(), clusterOf_.end(), offset,
      [](const std::pair<std::uint32_t, std::size_t>& p, std::uint32_t o) { return p.first < o; });
  if (it == clusterOf_.end() || it->first != offset) return std::nullopt;
  return it->second;
}

std::vector<SoundSlot> LoadedBank::Slots() const {
  std::vector<SoundSlot> slots;
  slots.reserve(parsed_.Entries.size());
  const auto self = shared_from_this();
  for (const BankEntry& e : parsed_.Entries) {
    SoundSlot slot{e, self, e.Offset, {}};
    // A sound that is not damaged lies inside the file: checked by the parser.
    if (!e.Damaged())
      slot.Samples = {self, Bytes().subspan(std::uint64_t{e.Offset} + e.Entry.HeaderSize,
                                            e.Entry.DataSize)};
    slots.push_back(std::move(slot));
  }
  return slots;
}

}  // namespace Orvane
