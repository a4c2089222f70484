#pragma once
// The offsets an edited bank's entries show: those saving would write now (BankLayout). A bank
// is laid out once per edit, when next asked for; Undo and Redo reuse the layout of the state
// they return to when it was the one shown just before, so that a large bank is not laid out
// again for it.
#include <cstdint>
#include <optional>
#include <vector>

#include "BankLayout.h"
#include "LoadedBank.h"
#include "SoundSlot.h"
#include "Status.h"

namespace Orvane {

class ShownLayout {
 public:
  // The entries show the offsets of the file just loaded, `fileSize` bytes long.
  void Loaded(std::uint64_t fileSize);
  // The sounds changed: they are laid out again when next asked for.
  void Changed() { stale_ = true; }
  // Lays `sounds` out again if they changed. Should that fail (it cannot for a state an edit
  // reached), each sound shows where it lies in the loaded file, and the layout is tried again
  // at the next ask; saving meets the same failure and refuses with it.
  void Refresh(const LoadedBank& base, std::vector<SoundSlot>& sounds);
  // Shows the offsets `plan` gives every sound; a damaged one keeps its table's.
  void Show(const LoadedBank& base, std::vector<SoundSlot>& sounds, const BankPlan& plan);
  // The size of the file that saving would write, as last laid out.
  std::uint64_t Size() const { return size_; }

  // Before an edit, undo or redo moves away from history state `state`: its offsets are kept.
  void Leaving(std::uint64_t state, const std::vector<SoundSlot>& sounds);
  // After an edit: the state it left is the one an undo returns to.
  void Edited();
  // After an undo or redo reached `state`: the offsets of the state left just before, when it
  // is this one. The state left now is kept in its place.
  void Reached(std::uint64_t state, std::vector<SoundSlot>& sounds);

 private:
  struct Snapshot {
    std::uint64_t State = 0;
    std::vector<std::uint32_t> Offsets;
    std::uint64_t Size = 0;
  };
  bool stale_ = false;
  std::uint64_t size_ = 0;
  std::optional<Snapshot> left_;     // the state an edit, undo or redo left last
  std::optional<Snapshot> leaving_;  // the one being left now
};

}  // namespace Orvane
