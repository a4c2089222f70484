#include "SoundFileName.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "CodePage.h"
#include "FileNames.h"
#include "PathUtf8.h"
#include "Text.h"

namespace Orvane {
namespace {

constexpr std::uint32_t kMaxSoundNumber = 2147483647;
constexpr std::array<std::string_view, 8> kAudioExtensions = {
    ".wav", ".flac", ".ogg", ".oga", ".opus", ".mp3", ".aif", ".aiff"};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string LowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return text;
}

bool IsCandidateExtension(const std::string& extension, Candidates which) {
  if (which == Candidates::WaveFiles) return extension == ".wav";
  const std::string lower = LowerCase(extension);
  return std::find(kAudioExtensions.begin(), kAudioExtensions.end(), lower) != kAudioExtensions.end();
}

}  // namespace

bool IsBankFile(const std::filesystem::path& file) {
  return LowerCase(PathToUtf8(file.extension())) == kBankExtension;
}

std::filesystem::path OutputFolderIn(std::string_view currentDir) {
  return Utf8ToPath(Str(currentDir, kOutputFolderName));
}

std::span<const std::string_view> AudioFileExtensions() { return kAudioExtensions; }

std::string ExportNamePart(const TbSoundEntry& entry) {
  return SafeFileNamePart(Cp1252ToUtf8(entry.NameBytes()));
}

std::string ExportStem(std::uint32_t index, const TbSoundEntry& entry) {
  return Str(index, '_', ExportNamePart(entry));
}

std::filesystem::path ExportFileName(std::uint32_t index, const TbSoundEntry& entry) {
  return Utf8ToPath(ExportStem(index, entry) + ".wav");
}

std::optional<NumberedName> SplitNumberedName(const std::filesystem::path& fileName,
                                              Candidates which) {
  const std::string extension = PathToUtf8(fileName.extension());
  if (!IsCandidateExtension(extension, which)) return std::nullopt;
  const std::string name = PathToUtf8(fileName.filename());
  const auto underscore = name.find('_');
  NumberedName split;
  split.NumberText = name.substr(0, underscore);
  if (!std::all_of(split.NumberText.begin(), split.NumberText.end(), IsDigit)) return std::nullopt;
  // With no '_' the number text holds the extension's dot and was refused above.
  split.NamePart = name.substr(underscore + 1, name.size() - underscore - 1 - extension.size());
  split.Name = Utf8ToCp1252(split.NamePart);
  return split;
}

Result<std::uint32_t> ParseSoundNumber(const std::string& digits) {
  if (digits.empty())
    return Result<std::uint32_t>::Error(ErrorKind::Refused,
                                        "the file name has no number before its '_'");
  std::uint64_t value = 0;
  for (char c : digits) {
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > kMaxSoundNumber)
      return Result<std::uint32_t>::Error(
          ErrorKind::TooLarge, Str("its number ", digits, " is above the largest sound number, ", kMaxSoundNumber));
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace Orvane
