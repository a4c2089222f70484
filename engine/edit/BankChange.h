#pragma once
// The edits of a bank as objects that apply and revert: each holds the sounds it puts in and
// the ones it takes out, so neither direction copies sample bytes or can fail.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "SoundSlot.h"

namespace Orvane {

// The rows an edit touched, ascending: for Removed, the indexes they had before.
struct RowChange {
  enum class Kind { Changed, Inserted, Removed };
  Kind What = Kind::Changed;
  std::vector<std::uint32_t> Rows;
};

class BankChange {
 public:
  explicit BankChange(std::string name) : name_(std::move(name)) {}
  virtual ~BankChange() = default;
  // "Replace sound 3": what Undo and Redo name.
  const std::string& Name() const { return name_; }
  virtual RowChange Apply(std::vector<SoundSlot>& sounds) const = 0;
  virtual RowChange Revert(std::vector<SoundSlot>& sounds) const = 0;

 private:
  std::string name_;
};

// Sounds' headers or samples exchanged for others, as one edit however many there are.
class SoundsChanged final : public BankChange {
 public:
  struct Exchange {
    std::uint32_t Index = 0;
    SoundSlot Before, After;
  };
  // `exchanges`: ascending by index, each index once.
  SoundsChanged(std::string name, std::vector<Exchange> exchanges);
  RowChange Apply(std::vector<SoundSlot>& sounds) const override;
  RowChange Revert(std::vector<SoundSlot>& sounds) const override;

 private:
  RowChange Rows() const;
  std::vector<Exchange> exchanges_;
};

class SoundInserted final : public BankChange {
 public:
  SoundInserted(std::string name, std::uint32_t index, SoundSlot sound);
  RowChange Apply(std::vector<SoundSlot>& sounds) const override;
  RowChange Revert(std::vector<SoundSlot>& sounds) const override;

 private:
  std::uint32_t index_;
  SoundSlot sound_;
};

class SoundsRemoved final : public BankChange {
 public:
  // `removed`: each sound with the index it had, ascending.
  SoundsRemoved(std::string name, std::vector<std::pair<std::uint32_t, SoundSlot>> removed);
  RowChange Apply(std::vector<SoundSlot>& sounds) const override;
  RowChange Revert(std::vector<SoundSlot>& sounds) const override;

 private:
  RowChange Rows() const;
  std::vector<std::pair<std::uint32_t, SoundSlot>> removed_;
};

}  // namespace Orvane
