#include "BankComparison.h"

#include <algorithm>

namespace Orvane {
namespace {

bool Before(const SoundDiff& d, std::uint32_t index) { return d.Index < index; }

}  // namespace

Result<BankComparison> BankComparison::Open(const std::filesystem::path& other,
                                            SoundOutput* output) {
  auto editor = std::make_unique<CSoundEditor>(output);
  if (Status loaded = editor->LoadBank(other); !loaded) return loaded;
  return BankComparison(std::move(editor));
}

Status BankComparison::Compare(const CSoundEditor& mine) {
  diffs_.clear();
  return Recompare(mine, 0, UINT32_MAX);
}

Status BankComparison::Follow(const CSoundEditor& mine, const RowChange& rows) {
  if (rows.Rows.empty()) return Status::Ok();
  if (rows.What != RowChange::Kind::Changed) return Recompare(mine, rows.Rows.front(), UINT32_MAX);
  for (const std::uint32_t row : rows.Rows)
    if (Status s = Recompare(mine, row, row + 1); !s) return s;
  return Status::Ok();
}

Status BankComparison::Recompare(const CSoundEditor& mine, std::uint32_t first,
                                 std::uint32_t last) {
  auto found = CompareBanks(*EditedBank(*other_), *EditedBank(mine), first, last);
  if (!found) return found.status();
  const auto from = std::lower_bound(diffs_.begin(), diffs_.end(), first, Before);
  const auto to = std::lower_bound(from, diffs_.end(), last, Before);
  diffs_.insert(diffs_.erase(from, to), found->begin(), found->end());
  return Status::Ok();
}

std::optional<SoundDiff> BankComparison::ChangeOf(std::uint32_t index) const {
  const auto found = std::lower_bound(diffs_.begin(), diffs_.end(), index, Before);
  if (found == diffs_.end() || found->Index != index) return std::nullopt;
  return *found;
}

}  // namespace Orvane
