#pragma once
// Replacing many sounds at once from numbered audio files: "<index>_<anything>.<ext>" replaces
// sound <index>, as export names the files, so that a folder of exported and edited sounds goes
// back into the bank in one edit.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Status.h"

namespace Orvane {

// A sound to replace and the file that replaces it.
struct Replacement {
  std::uint32_t Index = 0;
  std::filesystem::path File;

  bool operator==(const Replacement&) const = default;
};

// The numbered audio files among `files` (names as bank creation with conversion takes them),
// ascending by index, for a bank of `count` sounds. Other files are left out. Refuses, naming
// the files: a number at or past the count (NotFound), two files with one number (Refused),
// and no numbered audio file at all (NotFound).
Result<std::vector<Replacement>> MatchReplacements(std::span<const std::filesystem::path> files,
                                                   std::uint32_t count);
// The same over the regular files directly in `folder`.
Result<std::vector<Replacement>> FindReplacements(const std::filesystem::path& folder,
                                                  std::uint32_t count);

// What a replacement would do, read from the file's header without decoding it.
struct ReplacementPreview {
  Replacement What;
  std::string Name;                      // the sound's, UTF-8
  std::optional<double> NowSeconds;      // nothing for a damaged sound
  std::optional<double> NewSeconds;      // nothing when the file does not declare its length
  std::string Conversion;                // "44100 Hz 24-bit stereo -> 22050 Hz 16-bit stereo"
  bool Unchanged = false;                // the file holds what the sound holds
  std::vector<std::string> Warnings;     // a length far from the old one, a loop past the end
  Status Problem = Status::Ok();         // why the file cannot replace the sound
};

}  // namespace Orvane
