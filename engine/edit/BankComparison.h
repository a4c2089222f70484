#pragma once
// The edited bank compared with another, sound by sound, kept up to date as the edited bank
// changes: what a mod changed against the bank it came from. The other bank is read-only.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "BankChange.h"
#include "BankDiff.h"
#include "SoundEditor.h"

namespace Orvane {

class BankComparison {
 public:
  // Loads `other` to compare with, its sounds to play on `output`; fails as a load does.
  static Result<BankComparison> Open(const std::filesystem::path& other, SoundOutput* output);

  const CSoundEditor& Other() const { return *other_; }
  // The other bank to play from; nothing in it changes.
  CSoundEditor& Other() { return *other_; }
  const std::filesystem::path& OtherPath() const { return other_->BankPath(); }

  // Compares `mine` with the other bank, all of it.
  Status Compare(const CSoundEditor& mine);
  // Compares again where `rows` changed `mine`: the rows themselves, or every later one when
  // sounds were inserted or removed (indexes moved).
  Status Follow(const CSoundEditor& mine, const RowChange& rows);

  // How sound `index` of the edited bank differs from the other bank's: Changed, or Added
  // where the other bank has no such sound; nothing where they are the same.
  std::optional<SoundDiff> ChangeOf(std::uint32_t index) const;
  // Every difference, ascending, Removed ones (sounds past the edited bank's end) included.
  const std::vector<SoundDiff>& Differences() const { return diffs_; }

 private:
  explicit BankComparison(std::unique_ptr<CSoundEditor> other) : other_(std::move(other)) {}
  // Compares indexes from `first` to `last` (exclusive) again.
  Status Recompare(const CSoundEditor& mine, std::uint32_t first, std::uint32_t last);

  std::unique_ptr<CSoundEditor> other_;
  std::vector<SoundDiff> diffs_;  // ascending by index
};

}  // namespace Orvane
