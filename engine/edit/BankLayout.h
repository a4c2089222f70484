#pragma once
// Where every sound of an edited bank goes in the file that saving writes. Every byte that no
// edit touched stays as the loaded file has it, in its order: gaps, bytes after the last
// sound, sounds that share or overlap bytes. An edited sound is written afresh where it stood
// (after its old bytes when other sounds still use them); a new sound goes before the sound
// that follows it in the table, or after the one before it. A bank without edits is laid out
// as the loaded file, byte for byte.
#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "LoadedBank.h"
#include "SoundSlot.h"
#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

struct BankPlan {
  std::vector<std::uint32_t> Offsets;  // the table: one per sound
  // The bytes after the table, in order. They point into the stores of the sounds and into
  // Headers; a damaged sound written afresh has no samples to point to.
  std::vector<std::span<const std::uint8_t>> Body;
  std::deque<std::array<std::uint8_t, TbSoundEntry::kSize>> Headers;
  std::uint64_t Size = 0;  // of the whole file
};

// Fails (TooLarge) when the bank would reach 4 GiB.
Result<BankPlan> PlanBank(const LoadedBank& base, std::span<const SoundSlot> sounds);

// The bytes from byte 40 of `sound`'s header to its samples, as the file it came from holds
// them; none for a header of 40 bytes or fewer, a new sound, or one that runs past its file.
std::span<const std::uint8_t> ExtraHeaderBytes(const SoundSlot& sound);

// True when `sound` is as `base` holds it: its bytes can stay where they are.
bool IsUntouched(const LoadedBank& base, const SoundSlot& sound);

}  // namespace Orvane
