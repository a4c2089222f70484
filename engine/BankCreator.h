#pragma once
// Builds a bank from the numbered WAVE files of a folder: "<number>_<name>.wav", packed in the
// order of their numbers.
#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "Reporter.h"
#include "Status.h"
#include "TbSoundEntry.h"
#include "WaveReader.h"

namespace Orvane {

// One accepted WAVE file. Its samples stay in the file until the bank is written, so memory
// does not grow with the number of files.
struct Wav2Entry {
  std::uint32_t Index = 0;  // the number before the first '_'
  std::array<std::uint8_t, TbSoundEntry::kNameSize> Name{};
  WaveInfo Header;       // format and where the samples lie; no chunk list
  std::string FileName;  // within the folder
};

// Reads the names and WAVE headers of every candidate in `folder`; fails, naming the file and
// saying how to mend it, on the first file that cannot go into a bank.
Result<std::vector<Wav2Entry>> GatherSounds(const std::filesystem::path& folder,
                                            const Reporter& report);

// Sorts by number and keeps one file of each number (the first by file name).
void OrderSounds(const std::filesystem::path& folder, std::vector<Wav2Entry>& sounds,
                 const Reporter& report);

// The header a sound gets in the bank: every field from the WAVE file or a constant.
TbSoundEntry BankHeaderFor(const Wav2Entry& sound);

// The whole operation: gather, order, print "Found %i sounds.", write `target` atomically,
// print "Created SDT bank". Nothing is written unless every file is usable.
Status CreateBankFrom(const std::filesystem::path& folder, const std::filesystem::path& target,
                      const Reporter& report);

}  // namespace Orvane
