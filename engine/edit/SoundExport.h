#pragma once
// Export: sounds of the edited bank written as the WAVE files "<index>_<name>.wav", each whole
// or not at all; and the same image in memory, which playback plays.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

class CSoundEditor;

// The WAVE header and sample data of sound `index` as one image: what export writes.
Result<std::vector<std::uint8_t>> SoundImage(const CSoundEditor& bank, std::uint32_t index);

// Writes sound `index` into `folder`, creating the folder when it is missing.
Status ExportSound(const CSoundEditor& bank, std::uint32_t index, const std::filesystem::path& folder);
// Exports several sounds into `folder` with one sync of the disk for all of them; one answer
// per index.
std::vector<Status> ExportSounds(const CSoundEditor& bank, std::span<const std::uint32_t> indexes,
                                 const std::filesystem::path& folder);

// What an export did, as every front end says it: "Exported sound 3 to output/3_bell.wav" for
// one sound written to `folder`; for several, "Exported 12 sounds to output", the one failure,
// or how many failed and the last failure (each failure is the caller's to show).
std::string ExportSummary(std::uint32_t index, const TbSoundEntry& entry,
                          const std::filesystem::path& folder);
std::string ExportSummary(std::span<const Status> results, const std::filesystem::path& folder);

}  // namespace Orvane
