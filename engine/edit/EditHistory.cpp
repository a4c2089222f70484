#include "EditHistory.h"

namespace Orvane {

void EditHistory::Clear() {
  changes_.clear();
  serials_.clear();
  applied_ = 0;
  saved_ = 0;
}

void EditHistory::Record(std::unique_ptr<BankChange> change) {
  if (saved_ && *saved_ > applied_) saved_.reset();
  changes_.resize(applied_);
  serials_.resize(applied_);
  changes_.push_back(std::move(change));
  serials_.push_back(++lastSerial_);
  ++applied_;
}

std::optional<RowChange> EditHistory::Undo(std::vector<SoundSlot>& sounds) {
  if (applied_ == 0) return std::nullopt;
  return changes_[--applied_]->Revert(sounds);
}

std::optional<RowChange> EditHistory::Redo(std::vector<SoundSlot>& sounds) {
  if (applied_ == changes_.size()) return std::nullopt;
  return changes_[applied_++]->Apply(sounds);
}

std::optional<std::string> EditHistory::UndoName() const {
  if (applied_ == 0) return std::nullopt;
  return changes_[applied_ - 1]->Name();
}

std::optional<std::string> EditHistory::RedoName() const {
  if (applied_ == changes_.size()) return std::nullopt;
  return changes_[applied_]->Name();
}

}  // namespace Orvane
