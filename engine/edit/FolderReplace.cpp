#include "FolderReplace.h"

#include <algorithm>
#include <system_error>

#include "PathUtf8.h"
#include "SoundFileName.h"
#include "Text.h"

namespace Orvane {
namespace {

// "a.wav, b.flac and 2 more": file names for a message, a few of them.
std::string Listed(const std::vector<std::string>& names) {
  constexpr std::size_t kShown = 5;
  std::string text;
  for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += Str(i == 0 ? "" : ", ", names[i]);
  if (names.size() > kShown) text += Str(" and ", names.size() - kShown, " more");
  return text;
}

}  // namespace

Result<std::vector<Replacement>> MatchReplacements(std::span<const std::filesystem::path> files,
                                                   std::uint32_t count) {
  using Matched = Result<std::vector<Replacement>>;
  std::vector<Replacement> matched;
  std::vector<std::string> past;
  for (const std::filesystem::path& file : files) {
    const auto split = SplitNumberedName(file.filename(), Candidates::AudioFiles);
    if (!split || split->NumberText.empty()) continue;
    const auto number = ParseSoundNumber(split->NumberText);
    if (!number || *number >= count) {
      past.push_back(PathToUtf8(file.filename()));
      continue;
    }
    matched.push_back({*number, file});
  }
  if (!past.empty())
    return Matched::Error(
        ErrorKind::NotFound,
        Str("the bank has ", count, " sounds, numbered 0 to ", count - 1,
            "; no sound has the number of ", Listed(past)),
        {past.size() == 1 ? past[0] : std::string()});
  if (matched.empty()) {
    std::string extensions;
    for (const std::string_view extension : AudioFileExtensions())
      extensions += Str(extensions.empty() ? "" : ", ", extension);
    return Matched::Error(ErrorKind::NotFound,
                          Str("no file is named <number>_<name> with the extension of an audio "
                              "file (", extensions, ")"));
  }
  std::sort(matched.begin(), matched.end(), [](const Replacement& a, const Replacement& b) {
    return a.Index != b.Index ? a.Index < b.Index : a.File.filename() < b.File.filename();
  });
  for (std::size_t i = 1; i < matched.size(); ++i)
    if (matched[i].Index == matched[i - 1].Index) {
      std::vector<std::string> same;
      for (const Replacement& r : matched)
        if (r.Index == matched[i].Index) same.push_back(PathToUtf8(r.File.filename()));
      return Matched::Error(ErrorKind::Refused,
                            Str("sound ", matched[i].Index, " is named by more than one file: ",
                                Listed(same), "; keep one of them"),
                            {{}, matched[i].Index, {}});
    }
  return matched;
}

Result<std::vector<Replacement>> FindReplacements(const std::filesystem::path& folder,
                                                  std::uint32_t count) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (it->is_regular_file(typeEc)) files.push_back(it->path());
  }
  if (ec)
    return Result<std::vector<Replacement>>::Error(
        ErrorKind::NotFound, Str("cannot list the folder ", PathToUtf8(folder), ": ", ec.message()),
        {PathToUtf8(folder)});
  auto matched = MatchReplacements(files, count);
  if (!matched) return matched.status().Prefixed(PathToUtf8(folder) + ": ").At({PathToUtf8(folder)});
  return matched;
}

}  // namespace Orvane
