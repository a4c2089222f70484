#pragma once
// Edits that bring samples in from audio files: replacing one sound, or many as one edit (the
// files read and converted on every core), what many would do before they are read, and
// inserting a new sound. Each reads the file, converts it and hands the bank one change.
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "FolderReplace.h"
#include "Reporter.h"
#include "SoundEdits.h"
#include "Status.h"

namespace Orvane {

class CSoundEditor;

// Replaces sound `index`'s samples from `file`; its notes and warnings go to `report`.
Result<EditOutcome> ReplaceSound(CSoundEditor& bank, std::uint32_t index,
                                 const std::filesystem::path& file, const ReplaceOptions& options,
                                 const Reporter& report);
// Replaces the sound of each replacement (distinct indexes) from its file, as one edit. A file
// that already holds what its sound holds leaves that sound as it is. Any file that fails fails
// the whole edit, naming the file.
Result<EditOutcome> ReplaceSounds(CSoundEditor& bank, std::span<const Replacement> replacements,
                                  const ReplaceOptions& options, const Reporter& report);
// What each replacement would do, from the files' headers: without decoding, on every core.
std::vector<ReplacementPreview> PreviewReplacements(const CSoundEditor& bank,
                                                    std::span<const Replacement> replacements,
                                                    const ReplaceOptions& options);
// Inserts a sound made from `file` at `index` (0 to the count, which appends).
Result<EditOutcome> InsertSound(CSoundEditor& bank, std::uint32_t index,
                                const std::filesystem::path& file, const InsertOptions& options,
                                const Reporter& report);

}  // namespace Orvane
