#pragma once
// The names that tie a bank's sounds to WAVE files: export writes "<index>_<name>.wav", and
// bank creation reads the number before the first '_' back as the sound's place.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "Status.h"
#include "TbSoundEntry.h"

namespace Orvane {

// A bank file's extension, as file dialogs and drops know banks by.
inline constexpr std::string_view kBankExtension = ".sdt";
// True when `file` ends in the bank extension, in any case.
bool IsBankFile(const std::filesystem::path& file);

// The folder of the working directory that export writes into and bank creation reads from.
inline constexpr std::string_view kOutputFolderName = "output";
// kOutputFolderName in `currentDir`, the working directory with its separator (GetCurrentDir).
std::filesystem::path OutputFolderIn(std::string_view currentDir);

// "bell" for a sound named bell: its name as UTF-8, safe to use in a file name in a folder.
std::string ExportNamePart(const TbSoundEntry& entry);
// "3_bell" for sound 3 named bell.
std::string ExportStem(std::uint32_t index, const TbSoundEntry& entry);
// The stem and ".wav".
std::filesystem::path ExportFileName(std::uint32_t index, const TbSoundEntry& entry);

struct NumberedName {
  std::string NumberText;  // before the first '_'; may be empty
  std::string Name;        // Windows-1252 bytes between the first '_' and the extension
  std::string NamePart;    // the same text as the file name spells it (UTF-8)
};

// ".wav", ".flac", ...: the extensions of every audio file the engine reads, in lower case.
std::span<const std::string_view> AudioFileExtensions();

// Which files bank creation takes: WAVE files named exactly ".wav", or, when it converts, any
// audio file it reads: .wav, .flac, .ogg, .oga, .opus, .mp3, .aif or .aiff in any case.
enum class Candidates { WaveFiles, AudioFiles };

// Splits the file name of a candidate for bank creation, or says it is not one: its extension
// is not one of `which`, or what stands before the first '_' is not all decimal digits.
std::optional<NumberedName> SplitNumberedName(const std::filesystem::path& fileName,
                                              Candidates which = Candidates::WaveFiles);

// The sound number of a number text: fails when it is empty or above 2,147,483,647.
Result<std::uint32_t> ParseSoundNumber(const std::string& digits);

}  // namespace Orvane
