#pragma once
// What each edit of a sound makes of it, and the rules it follows: a name is Windows-1252 in at
// most 16 bytes; replacing a sound keeps its name, Unknown, LoopStart, LoopEnd and the extra
// bytes of its header; new samples come in through conversion.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "BankChange.h"
#include "Reporter.h"
#include "SoundImport.h"
#include "SoundSlot.h"
#include "Status.h"

namespace Orvane {

enum class ReplaceFormat {
  SoundsOwn,  // converted to the format of the sound it replaces
  FilesOwn,   // the file's own format where a bank holds it, else the default target
};

struct ReplaceOptions {
  ReplaceFormat Format = ReplaceFormat::SoundsOwn;
  // The new samples get the loudness of the sound they replace.
  bool MatchLoudness = false;

  ReplaceOptions(ReplaceFormat format = ReplaceFormat::SoundsOwn,  // NOLINT: a format alone is
                 bool matchLoudness = false)                       // the usual request
      : Format(format), MatchLoudness(matchLoudness) {}
};

struct FieldEdit {
  std::optional<std::string> Name = {};  // UTF-8
  std::optional<std::uint32_t> Unknown = {};
  std::optional<std::uint32_t> LoopStart = {};
  std::optional<std::uint32_t> LoopEnd = {};

  bool Empty() const { return !Name && !Unknown && !LoopStart && !LoopEnd; }
};

struct InsertOptions {
  std::optional<std::string> Name;  // UTF-8; by default the file's stem
  FormatRequest Format;
};

struct EditOutcome {
  RowChange Rows;       // empty when the edit changed nothing
  std::string Summary;  // one line saying what was done, e.g. "Replaced sound 3 (bell) with new.flac"
  // For an edit of several sounds, a line for each sound it changed.
  std::vector<std::string> Details = {};
};

// "at most 16 bytes in Windows-1252": what a name may be, for help and tooltips.
std::string NameRuleText();
// `text` as the bytes a bank stores; refused (Refused) with the reason when it is longer than
// 16 bytes there, holds a character the code page lacks, or holds a zero byte.
Result<std::string> BankNameOf(std::string_view text);

// Samples brought in from a file, in a store of their own.
struct BroughtSamples {
  SoundFormat Format;
  SampleRef Samples;
  ConvertedSound Conversion;
};

// Reads or converts `file` under `request`, to `loudness` when given; refuses (TooLarge) more
// than `limit` bytes. The conversion's note and warnings go to `report`. Fails naming the file.
Result<BroughtSamples> BringSamples(const std::filesystem::path& file,
                                    const FormatRequest& request, std::uint64_t limit,
                                    const Reporter& report, LoudnessTarget loudness = {});

// The format request that brings a file to `sound`'s own format; refused when the sound's
// header gives no format conversion can make (a damaged header, say).
Result<FormatRequest> OwnFormatOf(std::uint32_t index, const SoundSlot& sound);

// `sound` with new samples and their format, keeping everything else of its header.
SoundSlot WithSamples(const SoundSlot& sound, const BroughtSamples& samples);
// `sound` with `fields` set; refused with the reason when a value is not allowed.
Result<SoundSlot> WithFields(const SoundSlot& sound, const FieldEdit& fields);
// `sound` of another bank as it goes into this one: every header byte and its samples, but a
// header shorter than 40 bytes, which shares bytes with its samples, is written as 40.
SoundSlot TakenSound(const SoundSlot& sound);
// A new sound of `samples` named `nameBytes` (Windows-1252, at most 16 bytes).
SoundSlot NewSound(const BroughtSamples& samples, std::string_view nameBytes);

// The name an inserted sound takes from its file: the stem, cut to 16 bytes with a warning.
std::string NameFromFile(const std::filesystem::path& file, const Reporter& report);

// "3 (bell)", for summaries.
std::string SoundLabel(std::uint32_t index, const TbSoundEntry& entry);

}  // namespace Orvane
