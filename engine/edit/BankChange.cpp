#include "BankChange.h"

#include <algorithm>

namespace Orvane {

SoundsChanged::SoundsChanged(std::string name, std::vector<Exchange> exchanges)
    : BankChange(std::move(name)), exchanges_(std::move(exchanges)) {}

RowChange SoundsChanged::Rows() const {
  RowChange rows{RowChange::Kind::Changed, {}};
  rows.Rows.reserve(exchanges_.size());
  for (const Exchange& e : exchanges_) rows.Rows.push_back(e.Index);
  return rows;
}

RowChange SoundsChanged::Apply(std::vector<SoundSlot>& sounds) const {
  for (const Exchange& e : exchanges_) sounds[e.Index] = e.After;
  return Rows();
}

RowChange SoundsChanged::Revert(std::vector<SoundSlot>& sounds) const {
  for (const Exchange& e : exchanges_) sounds[e.Index] = e.Before;
  return Rows();
}

SoundInserted::SoundInserted(std::string name, std::uint32_t index, SoundSlot sound)
    : BankChange(std::move(name)), index_(index), sound_(std::move(sound)) {}

RowChange SoundInserted::Apply(std::vector<SoundSlot>& sounds) const {
  sounds.insert(sounds.begin() + index_, sound_);
  return {RowChange::Kind::Inserted, {index_}};
}

RowChange SoundInserted::Revert(std::vector<SoundSlot>& sounds) const {
  sounds.erase(sounds.begin() + index_);
  return {RowChange::Kind::Removed, {index_}};
}

SoundsRemoved::SoundsRemoved(std::string name,
                             std::vector<std::pair<std::uint32_t, SoundSlot>> removed)
    : BankChange(std::move(name)), removed_(std::move(removed)) {}

RowChange SoundsRemoved::Rows() const {
  RowChange rows{RowChange::Kind::Removed, {}};
  rows.Rows.reserve(removed_.size());
  for (const auto& [index, sound] : removed_) rows.Rows.push_back(index);
  return rows;
}

RowChange SoundsRemoved::Apply(std::vector<SoundSlot>& sounds) const {
  // One pass that keeps the sounds between the removed ones, however many there are.
  std::size_t next = 0, kept = 0;
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    if (next < removed_.size() && removed_[next].first == i) {
      ++next;
      continue;
    }
    if (kept != i) sounds[kept] = std::move(sounds[i]);
    ++kept;
  }
  sounds.resize(kept);
  return Rows();
}

RowChange SoundsRemoved::Revert(std::vector<SoundSlot>& sounds) const {
  std::vector<SoundSlot> merged;
  merged.reserve(sounds.size() + removed_.size());
  std::size_t from = 0;
  for (const auto& [index, sound] : removed_) {
    while (merged.size() < index) merged.push_back(std::move(sounds[from++]));
    merged.push_back(sound);
  }
  while (from < sounds.size()) merged.push_back(std::move(sounds[from++]));
  sounds = std::move(merged);
  RowChange rows = Rows();
  rows.What = RowChange::Kind::Inserted;
  return rows;
}

}  // namespace Orvane
