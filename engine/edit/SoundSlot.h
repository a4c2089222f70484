#pragma once
// One sound of the bank being edited: its header as it stands, where it came from, and where
// its samples are. Copying a slot copies no sample bytes: they stay in the store that holds them.
#include <cstdint>
#include <memory>
#include <span>

#include "TbSoundBank.h"

namespace Orvane {

class LoadedBank;

// Sample bytes and whatever keeps them alive: the loaded file, or the samples an edit brought.
struct SampleRef {
  std::shared_ptr<const void> Owner;
  std::span<const std::uint8_t> Bytes;
};

// Samples remembered without keeping their store alive: once the store is gone, whatever lies
// at the same address later is another sound's, and no longer matches.
struct SampleMark {
  std::weak_ptr<const void> Owner;
  std::span<const std::uint8_t> Bytes;

  SampleMark() = default;
  explicit SampleMark(const SampleRef& samples) : Owner(samples.Owner), Bytes(samples.Bytes) {}

  bool Expired() const { return Owner.expired(); }
  bool Marks(const SampleRef& samples) const {
    return !Expired() && Bytes.data() == samples.Bytes.data() &&
           Bytes.size() == samples.Bytes.size() && !Owner.owner_before(samples.Owner) &&
           !samples.Owner.owner_before(Owner);
  }
};

struct SoundSlot {
  BankEntry Element;  // Offset: where the sound lies in the loaded file, or will once saved
  std::shared_ptr<const LoadedBank> From;  // the loaded file it was read from; null when new
  std::uint32_t Origin = 0;                // its header's offset in From
  SampleRef Samples;                       // empty for a damaged sound
};

}  // namespace Orvane
