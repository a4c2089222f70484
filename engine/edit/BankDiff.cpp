#include "BankDiff.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "BankHeaders.h"
#include "BankParser.h"
#include "ByteSource.h"
#include "Parallel.h"
#include "SoundEditor.h"

namespace Orvane {
namespace {

constexpr DiffField kOrder[] = {
    DiffField::HeaderSize, DiffField::DataSize,    DiffField::Name,      DiffField::SampleRate,
    DiffField::BitsPerSample, DiffField::NumChannels, DiffField::Unknown, DiffField::LoopStart,
    DiffField::LoopEnd,    DiffField::ExtraHeader, DiffField::Samples,   DiffField::Damaged};
constexpr const char* kNames[] = {"HeaderSize", "DataSize",  "Name",      "SampleRate",
                                  "BitsPerSample", "NumChannels", "Unknown", "LoopStart",
                                  "LoopEnd",    "ExtraHeader", "Samples", "Damaged"};
static_assert(std::size(kOrder) == std::size(kNames));

// Files are compared this much at a time, whatever the sizes their headers claim.
constexpr std::size_t kChunk = std::size_t{1} << 20;
// Sounds compared by one core at a time.
constexpr std::size_t kBlock = 256;

using Part = ComparedBank::Part;

std::uint64_t PartSize(const TbSoundEntry& header, Part part) {
  if (part == Part::Samples) return header.DataSize;
  return header.HeaderSize > TbSoundEntry::kSize ? header.HeaderSize - TbSoundEntry::kSize : 0;
}

// True when the part is the same in both banks; its sizes are equal.
Result<bool> SamePart(const ComparedBank& a, const ComparedBank& b, std::uint32_t index, Part part,
                      std::uint64_t size) {
  const auto inA = a.InMemory(index, part);
  const auto inB = b.InMemory(index, part);
  if (inA && inB) return std::equal(inA->begin(), inA->end(), inB->begin(), inB->end());
  std::vector<std::uint8_t> bytesA(std::min<std::uint64_t>(size, kChunk));
  std::vector<std::uint8_t> bytesB(bytesA.size());
  for (std::uint64_t at = 0; at < size; at += bytesA.size()) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, size - at));
    bytesA.resize(n);
    bytesB.resize(n);
    if (Status s = a.Read(index, part, at, bytesA); !s) return s;
    if (Status s = b.Read(index, part, at, bytesB); !s) return s;
    if (bytesA != bytesB) return false;
  }
  return true;
}

Result<DiffFields> Differences(const ComparedBank& a, const ComparedBank& b, std::uint32_t index) {
  const BankEntry& soundA = a.Sound(index);
  const BankEntry& soundB = b.Sound(index);
  const TbSoundEntry& x = soundA.Entry;
  const TbSoundEntry& y = soundB.Entry;
  DiffFields fields = 0;
  const auto mark = [&](bool differs, DiffField field) {
    if (differs) fields |= static_cast<DiffFields>(field);
  };
  mark(x.HeaderSize != y.HeaderSize, DiffField::HeaderSize);
  mark(x.DataSize != y.DataSize, DiffField::DataSize);
  mark(x.NameBytes() != y.NameBytes(), DiffField::Name);
  mark(x.SampleRate != y.SampleRate, DiffField::SampleRate);
  mark(x.BitsPerSample != y.BitsPerSample, DiffField::BitsPerSample);
  mark(x.NumChannels != y.NumChannels, DiffField::NumChannels);
  mark(x.Unknown != y.Unknown, DiffField::Unknown);
  mark(x.LoopStart != y.LoopStart, DiffField::LoopStart);
  mark(x.LoopEnd != y.LoopEnd, DiffField::LoopEnd);
  if (soundA.Damaged() || soundB.Damaged()) return fields | static_cast<DiffFields>(DiffField::Damaged);
  for (const auto& [part, field] : {std::pair{Part::ExtraHeader, DiffField::ExtraHeader},
                                    std::pair{Part::Samples, DiffField::Samples}}) {
    const std::uint64_t size = PartSize(x, part);
    if (size != PartSize(y, part)) {
      mark(true, field);
      continue;
    }
    auto same = SamePart(a, b, index, part, size);
    if (!same) return same.status().At({{}, index, {}});
    mark(!*same, field);
  }
  return fields;
}

// A bank file: headers read at once, other bytes read where they lie when compared.
class FileBank final : public ComparedBank {
 public:
  FileBank(FileSource source, TbSoundBank bank) : source_(std::move(source)), bank_(std::move(bank)) {}
  std::uint32_t Count() const override { return bank_.Count; }
  const BankEntry& Sound(std::uint32_t index) const override { return bank_.Entries[index]; }
  Status Read(std::uint32_t index, Part part, std::uint64_t offset,
              std::span<std::uint8_t> out) const override {
    const BankEntry& sound = bank_.Entries[index];
    const std::uint64_t start = std::uint64_t{sound.Offset} +
                                (part == Part::Samples ? sound.Entry.HeaderSize : TbSoundEntry::kSize);
    return source_.ReadAt(start + offset, out);
  }

 private:
  mutable FileSource source_;
  TbSoundBank bank_;
};

// An editor's bank as it stands: everything in memory.
class EditorBank final : public ComparedBank {
 public:
  explicit EditorBank(const CSoundEditor& editor) : editor_(editor) {
    // An editor lays out stale offsets at the first read of an entry. That read is made here,
    // once, so that the comparing threads only ever read.
    if (editor.Count() > 0) editor.Entry(0);
  }
  std::uint32_t Count() const override { return editor_.Count(); }
  const BankEntry& Sound(std::uint32_t index) const override { return editor_.Entry(index); }
  Status Read(std::uint32_t index, Part part, std::uint64_t offset,
              std::span<std::uint8_t> out) const override {
    const auto bytes = *InMemory(index, part);
    std::memcpy(out.data(), bytes.data() + offset, out.size());
    return Status::Ok();
  }
  std::optional<std::span<const std::uint8_t>> InMemory(std::uint32_t index,
                                                         Part part) const override {
    if (part == Part::ExtraHeader) return editor_.ExtraHeader(index);
    auto samples = editor_.SampleData(index);
    return samples ? *samples : std::span<const std::uint8_t>();
  }

 private:
  const CSoundEditor& editor_;
};

}  // namespace

std::string FieldNames(DiffFields fields) {
  std::string names;
  for (std::size_t i = 0; i < std::size(kOrder); ++i)
    if (fields & static_cast<DiffFields>(kOrder[i])) names += (names.empty() ? "" : ";") + std::string(kNames[i]);
  return names;
}

const char* ChangeName(SoundChange change) {
  switch (change) {
    case SoundChange::Added: return "added";
    case SoundChange::Removed: return "removed";
    case SoundChange::Changed: break;
  }
  return "changed";
}

Result<std::unique_ptr<ComparedBank>> OpenComparedBank(const std::filesystem::path& file) {
  auto source = FileSource::Open(file);
  if (!source) return BankOpenFailure(file, source.status());
  auto bank = ParseBank(*source);
  if (!bank) return BankOpenFailure(file, bank.status());
  return std::unique_ptr<ComparedBank>(std::make_unique<FileBank>(std::move(*source), std::move(*bank)));
}

std::unique_ptr<ComparedBank> EditedBank(const CSoundEditor& editor) {
  return std::make_unique<EditorBank>(editor);
}

Result<std::vector<SoundDiff>> CompareBanks(const ComparedBank& a, const ComparedBank& b,
                                            std::uint32_t first, std::uint32_t last) {
  const std::uint32_t end = std::min(last, std::max(a.Count(), b.Count()));
  if (first >= end) return std::vector<SoundDiff>{};
  // Blocks of sounds on every core: comparing samples is reading them, and a core reads its
  // block while another compares.
  const std::size_t blocks = (std::size_t{end} - first + kBlock - 1) / kBlock;
  std::vector<std::vector<SoundDiff>> found(blocks);
  // The first sound that could not be read, by index.
  const Status compared = ForEachInParallel(blocks, [&](std::size_t block) {
    const auto from = static_cast<std::uint32_t>(first + block * kBlock);
    const auto to = static_cast<std::uint32_t>(std::min<std::uint64_t>(end, std::uint64_t{from} + kBlock));
    for (std::uint32_t i = from; i < to; ++i) {
      if (i >= a.Count()) {
        found[block].push_back({i, SoundChange::Added});
      } else if (i >= b.Count()) {
        found[block].push_back({i, SoundChange::Removed});
      } else {
        auto fields = Differences(a, b, i);
        if (!fields) return fields.status();
        if (*fields != 0) found[block].push_back({i, SoundChange::Changed, *fields});
      }
    }
    return Status::Ok();
  });
  if (!compared) return compared;
  std::vector<SoundDiff> diffs;
  for (const auto& block : found) diffs.insert(diffs.end(), block.begin(), block.end());
  return diffs;
}

}  // namespace Orvane
