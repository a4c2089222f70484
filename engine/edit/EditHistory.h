#pragma once
// The edits made to a bank, in order, with the count of those applied (Undo steps back over
// them, Redo forward) and the point at which the bank was last loaded or saved.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "BankChange.h"

namespace Orvane {

class EditHistory {
 public:
  // Forgets every edit; the bank as it stands is the saved one.
  void Clear();
  // Records `change`, which the caller has just applied; the edits undone before it are gone
  // for good.
  void Record(std::unique_ptr<BankChange> change);
  std::optional<RowChange> Undo(std::vector<SoundSlot>& sounds);
  std::optional<RowChange> Redo(std::vector<SoundSlot>& sounds);

  std::optional<std::string> UndoName() const;
  std::optional<std::string> RedoName() const;
  bool IsModified() const { return saved_ != applied_; }
  // Names the state the applied edits make: equal only for the same edits, across Clear too.
  std::uint64_t State() const { return applied_ == 0 ? 0 : serials_[applied_ - 1]; }
  // The bank as it stands has just been saved.
  void MarkSaved() { saved_ = applied_; }

 private:
  std::vector<std::unique_ptr<BankChange>> changes_;
  std::vector<std::uint64_t> serials_;  // one per change, never given twice
  std::uint64_t lastSerial_ = 0;
  std::size_t applied_ = 0;
  // Empty once the saved state was undone and then replaced by another edit: unreachable.
  std::optional<std::size_t> saved_ = 0;
};

}  // namespace Orvane
