#pragma once
// What differs between two banks, sound by sound, by index: the one comparison behind
// `orvane-cli diff` and the window's Change column. Layout is not compared (offsets, the order of
// the sounds in the file, gaps, trailing bytes): a mod that changes one sound's length moves
// every later offset and still differs in one sound. Headers are compared first; samples are
// read only where both sounds have the same DataSize, since otherwise they differ by definition.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

class CSoundEditor;

// What can differ, in the order they are named.
enum class DiffField : std::uint16_t {
  HeaderSize = 1 << 0,
  DataSize = 1 << 1,
  Name = 1 << 2,  // the text up to its terminator: the bytes after it are no difference
  SampleRate = 1 << 3,
  BitsPerSample = 1 << 4,
  NumChannels = 1 << 5,
  Unknown = 1 << 6,
  LoopStart = 1 << 7,
  LoopEnd = 1 << 8,
  ExtraHeader = 1 << 9,  // the header's bytes from 40 to HeaderSize
  Samples = 1 << 10,
  Damaged = 1 << 11,  // either side is damaged: its samples are not compared
};
using DiffFields = std::uint16_t;

// "Name;LoopEnd;Samples": the fields' names, ';'-joined, in the order above.
std::string FieldNames(DiffFields fields);

enum class SoundChange { Added, Removed, Changed };  // Added: only in B; Removed: only in A
const char* ChangeName(SoundChange change);          // "added", "removed", "changed"

struct SoundDiff {
  std::uint32_t Index = 0;
  SoundChange Change = SoundChange::Changed;
  DiffFields Fields = 0;  // for Changed

  bool operator==(const SoundDiff&) const = default;
};

// One bank of a comparison: its sounds by index, and the bytes of a sound that is not damaged:
// its extra header bytes (from 40 to HeaderSize) and its samples.
class ComparedBank {
 public:
  enum class Part { ExtraHeader, Samples };

  virtual ~ComparedBank() = default;
  virtual std::uint32_t Count() const = 0;
  virtual const BankEntry& Sound(std::uint32_t index) const = 0;
  // `out.size()` bytes of the part from `offset`.
  virtual Status Read(std::uint32_t index, Part part, std::uint64_t offset,
                      std::span<std::uint8_t> out) const = 0;
  // The whole part, when it is in memory: compared without copying.
  virtual std::optional<std::span<const std::uint8_t>> InMemory(std::uint32_t, Part) const {
    return std::nullopt;
  }
};

// A bank file compared where it lies: the headers read at once, samples only when compared.
Result<std::unique_ptr<ComparedBank>> OpenComparedBank(const std::filesystem::path& file);
// The bank an editor holds, as it stands with its edits.
std::unique_ptr<ComparedBank> EditedBank(const CSoundEditor& editor);

// The sounds that differ, ascending by index, among indexes `first` to `last` (exclusive; past
// both counts is the end). Fails when a file cannot be read.
Result<std::vector<SoundDiff>> CompareBanks(const ComparedBank& a, const ComparedBank& b,
                                            std::uint32_t first = 0,
                                            std::uint32_t last = UINT32_MAX);

}  // namespace Orvane
