#pragma once
// Writes a bank in the layout every bank of ours has: count, offset table, then each header
// followed at once by its extra header bytes, if any, and its sample data, without gaps. The
// file appears at its path only when complete.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "AtomicFile.h"
#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

// Writes one part of sound `index` to `out`: exactly its `DataSize` sample bytes, or, as the
// writer of extra header bytes, exactly the `HeaderSize - 40` bytes between its 40-byte header
// and its samples.
using SampleWriter = std::function<Status(std::size_t index, AtomicFile& out)>;

// Offsets of each header in the layout above, or a failure when the bank would not fit in
// the 32-bit sizes of its format or a HeaderSize is below the header's own 40 bytes.
Result<std::vector<std::uint32_t>> LayOutBank(std::span<const TbSoundEntry> headers);

// The first bytes of every bank: its count, then the offset of each sound's header.
std::vector<std::uint8_t> EncodeTable(std::span<const std::uint32_t> offsets);

// Writes `headers` as they are given. `writeExtraHeader` is needed only when a HeaderSize is
// above 40.
Status WriteBank(const std::filesystem::path& target, std::span<const TbSoundEntry> headers,
                 const SampleWriter& writeSamples, const SampleWriter& writeExtraHeader = {});

}  // namespace Orvane
