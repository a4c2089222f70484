#pragma once
// Builds a bank from the numbered sound files of a folder: "<number>_<name>.wav" (or, when it
// converts, any audio file it reads), packed in the order of their numbers.
#include <cstdint>
#include <deque>
#include <optional>
#include <filesystem>
#include <string>
#include <string_view>

#include "BankTemplate.h"
#include "Reporter.h"
#include "SoundImport.h"
#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

struct CreateOptions {
  // Takes every audio file conversion reads; files that do not fit a bank, or are not in
  // `Format` where it is given, are converted. Without it only fitting WAVE files are taken.
  bool Convert = false;
  FormatRequest Format;
  // The bank the files were exported from: each sound takes from the sound of its number in it
  // what its file cannot carry, and, converted, that sound's format (see BankTemplate).
  std::optional<std::filesystem::path> Like;
};

// One accepted file. Its samples stay in the file until the bank is written (or, converted,
// in a scratch file beside the bank), and only what packing needs is kept, so memory grows
// little with the number of files.
struct Wav2Entry {
  std::uint32_t Index = 0;       // the number before the first '_'
  TbSoundEntry Header;           // what the bank will hold: from the file, and the bank it is like
  std::uint64_t DataOffset = 0;  // where the samples start: in the file, or in the scratch file
  std::filesystem::path File;    // the file it comes from, within the folder
  std::string NamePart;          // of the file name, between the first '_' and the extension
  std::optional<SoundFile> Convert;  // set when its samples are converted before packing
  FormatRequest ConvertTo;           // what they are converted to
};

// A deque grows without moving what it holds: no momentary second copy of every file's record.
using Wav2Entries = std::deque<Wav2Entry>;

// Reads the names and headers of every candidate in `folder`; fails, naming the file and
// saying how to mend it, on the first file that cannot go into a bank. With `like`, a file is
// converted to the format of the old sound of its number (with `options.Convert`).
Result<Wav2Entries> GatherSounds(const std::filesystem::path& folder, const CreateOptions& options,
                                 const Reporter& report, const BankTemplate& like = BankTemplate());

// Sorts by number and keeps one file of each number (the first by file name).
void OrderSounds(Wav2Entries& sounds, const Reporter& report);

// The header a sound gets in the bank: every field from the file or a constant.
TbSoundEntry BankHeaderFor(const SoundFormat& format, std::uint32_t dataSize, std::string_view name);

// The whole operation: read the bank to take after, gather, order, print "Found %i sounds.",
// convert what needs it, write `target` atomically, print "Created SDT bank". Nothing is
// written unless every file is usable.
Status CreateBankFrom(const std::filesystem::path& folder, const std::filesystem::path& target,
                      const Reporter& report, const CreateOptions& options = {});

}  // namespace Orvane
