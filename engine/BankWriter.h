#pragma once
// Writes a bank in the layout every bank of ours has: count, offset table, then each header
// followed at once by its sample data, without gaps. The file appears at its path only when
// complete.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "AtomicFile.h"
#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

// Writes exactly `DataSize` sample bytes of sound `index` to `out`.
using SampleWriter = std::function<Status(std::size_t index, AtomicFile& out)>;

// Offsets of each header in the layout above, or a failure when the bank would not fit in
// the 32-bit sizes of its format.
Result<std::vector<std::uint32_t>> LayOutBank(std::span<const TbSoundEntry> headers);

// The first bytes of every bank: its count, then the offset of each sound's header.
std::vector<std::uint8_t> EncodeTable(std::span<const std::uint32_t> offsets);

// `headers` give every field but HeaderSize, which the layout fixes at 40.
Status WriteBank(const std::filesystem::path& target, std::span<const TbSoundEntry> headers,
                 const SampleWriter& writeSamples);

}  // namespace Orvane
