#include "ShownLayout.h"

#include <utility>

namespace Orvane {

void ShownLayout::Loaded(std::uint64_t fileSize) {
  stale_ = false;
  size_ = fileSize;
  left_.reset();
  leaving_.reset();
}

void ShownLayout::Refresh(const LoadedBank& base, std::vector<SoundSlot>& sounds) {
  if (!stale_) return;
  auto plan = PlanBank(base, sounds);
  if (plan) return Show(base, sounds, *plan);
  for (SoundSlot& sound : sounds) sound.Element.Offset = sound.From ? sound.Origin : 0;
}

void ShownLayout::Show(const LoadedBank& base, std::vector<SoundSlot>& sounds, const BankPlan& plan) {
  stale_ = false;
  size_ = plan.Size;
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    SoundSlot& sound = sounds[i];
    // A damaged sound stays where its table entry points until it is mended or removed.
    const bool asLoaded = sound.Element.Damaged() && IsUntouched(base, sound);
    sound.Element.Offset = asLoaded ? sound.Origin : plan.Offsets[i];
  }
}

void ShownLayout::Leaving(std::uint64_t state, const std::vector<SoundSlot>& sounds) {
  leaving_.reset();
  if (stale_) return;
  Snapshot snapshot{state, {}, size_};
  snapshot.Offsets.reserve(sounds.size());
  for (const SoundSlot& sound : sounds) snapshot.Offsets.push_back(sound.Element.Offset);
  leaving_ = std::move(snapshot);
}

void ShownLayout::Edited() {
  left_ = std::move(leaving_);
  leaving_.reset();
}

void ShownLayout::Reached(std::uint64_t state, std::vector<SoundSlot>& sounds) {
  stale_ = true;
  if (left_ && left_->State == state && left_->Offsets.size() == sounds.size()) {
    for (std::size_t i = 0; i < sounds.size(); ++i) sounds[i].Element.Offset = left_->Offsets[i];
    size_ = left_->Size;
    stale_ = false;
  }
  left_ = std::move(leaving_);
  leaving_.reset();
}

}  // namespace Orvane
