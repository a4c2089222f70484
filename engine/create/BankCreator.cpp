#include "BankCreator.h"

#include <algorithm>
#include <optional>

#include "BankWriter.h"
#include "ByteSource.h"
#include "PathUtf8.h"
#include "ScratchFile.h"
#include "SoundFileName.h"
#include "Text.h"

namespace Orvane {
namespace {

// A WAVE file packed as it is, as bank creation has always taken them.
Result<WaveInfo> ReadFittingWave(const std::filesystem::path& file, const Reporter& report) {
  auto source = FileSource::Open(file);
  if (!source) return source.status().Prefixed("cannot be read: ");
  auto wave = ReadWave(*source);
  if (!wave) return wave.status();
  if (Status fits = CheckFitsBank(*wave); !fits) return Result<WaveInfo>(fits);
  for (const std::string& warning : wave->Warnings)
    report({ReportKind::Warning, Str(PathToUtf8(file), ": ", warning, "\n")});
  return wave;
}

// Reads one candidate's name and header; a failure names the file, in its message and Where.
Result<Wav2Entry> ReadCandidate(const std::filesystem::path& file, const NumberedName& split,
                                const CreateOptions& options, const BankTemplate& like,
                                const Reporter& report) {
  const std::string where = PathToUtf8(file) + ": ";
  auto number = ParseSoundNumber(split.NumberText);
  if (!number)
    return number.status().Prefixed(where).Suffixed(
        "; rename it to <number>_<name>.wav, e.g. 3_bell.wav");
  Wav2Entry sound;
  sound.Index = *number;
  sound.File = file;
  sound.NamePart = split.NamePart;

  std::optional<WaveInfo> fitting;
  if (options.Convert) {
    auto checked = CheckSoundFile(file, report);
    if (!checked) return Result<Wav2Entry>(checked.status().Prefixed(where));
    std::optional<std::uint32_t> fileHz;
    if (checked->Wave) fileHz = checked->Wave->SampleRateHz;
    const FormatRequest request = like.RequestFor(sound.Index, options.Format, fileHz);
    if (checked->CopiesUnchanged(request)) {
      fitting = std::move(checked->Wave);
    } else {
      sound.Header = BankHeaderFor({}, 0, split.Name);  // its format and size come with conversion
      sound.Convert = std::move(*checked);
      sound.ConvertTo = request;
    }
  } else {
    auto wave = ReadFittingWave(file, report);
    if (!wave) return Result<Wav2Entry>(wave.status().Prefixed(where));
    fitting = std::move(*wave);
  }
  if (fitting) {
    sound.Header = BankHeaderFor(FormatOfWave(*fitting), fitting->DataSize, split.Name);
    sound.DataOffset = fitting->DataOffset;
  }
  return sound;
}

// Converts every sound that needs it into `scratch`, one at a time, and completes its header.
Status ConvertSounds(Wav2Entries& sounds, ScratchFile& scratch, const Reporter& report) {
  for (Wav2Entry& sound : sounds) {
    if (!sound.Convert) continue;
    const std::string file = PathToUtf8(sound.File);
    const std::uint64_t start = scratch.Size();
    auto converted = ConvertSound(*sound.Convert, sound.ConvertTo, [&](std::span<const std::uint8_t> bytes) {
      return scratch.Append(bytes);
    });
    if (!converted) return converted.status().Prefixed(file + ": ").At({file});
    converted->Format.ApplyTo(sound.Header);
    sound.Header.DataSize = converted->DataSize;
    sound.DataOffset = start;
    ReportConversion(report, PathToUtf8(sound.File.filename()), *converted);
  }
  return Status::Ok();
}

Status CopySamples(const Wav2Entry& sound, const InputFile* scratch, AtomicFile& out) {
  if (sound.Convert) return out.CopyFrom(*scratch, sound.DataOffset, sound.Header.DataSize);
  const std::filesystem::path& file = sound.File;
  auto source = FileSource::Open(file);
  if (!source)
    return Status::Error(ErrorKind::Io, Str(PathToUtf8(file), ": cannot be read any more: ", source.message()),
                         source.where());
  const std::uint64_t end = sound.DataOffset + sound.Header.DataSize;
  if (source->Size() < end)
    return Status::Error(ErrorKind::ChangedOnDisk,
                         Str(PathToUtf8(file), ": changed while the bank was being made: it is now ",
                             source->Size(), " bytes long, but its samples ran to byte ", end),
                         {PathToUtf8(file)});
  return out.CopyFrom(source->File(), sound.DataOffset, sound.Header.DataSize);
}

}  // namespace

Result<Wav2Entries> GatherSounds(const std::filesystem::path& folder, const CreateOptions& options,
                                 const Reporter& report, const BankTemplate& like) {
  using Sounds = Result<Wav2Entries>;
  const Candidates which = options.Convert ? Candidates::AudioFiles : Candidates::WaveFiles;
  Wav2Entries sounds;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (it->is_directory(typeEc)) continue;  // a link to a folder is a folder too
    const auto split = SplitNumberedName(it->path().filename(), which);
    if (!split) continue;
    auto sound = ReadCandidate(it->path(), *split, options, like, report);
    if (!sound) return Sounds(sound.status().At({PathToUtf8(it->path())}));
    sounds.push_back(std::move(*sound));
  }
  if (ec)
    return Sounds::Error(ErrorKind::NotFound,
                         Str("cannot list the folder ", PathToUtf8(folder), ": ", ec.message(),
                             "; export a bank into it first"),
                         {PathToUtf8(folder)});
  return sounds;
}

void OrderSounds(Wav2Entries& sounds, const Reporter& report) {
  std::sort(sounds.begin(), sounds.end(), [](const Wav2Entry& a, const Wav2Entry& b) {
    return a.Index != b.Index ? a.Index < b.Index : a.File < b.File;
  });
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    if (kept > 0 && sounds[kept - 1].Index == sounds[i].Index) {
      report({ReportKind::Warning,
             Str(PathToUtf8(sounds[i].File), ": sound number ", sounds[i].Index, " is taken by ",
                 PathToUtf8(sounds[kept - 1].File.filename()), " already; this file is left out\n")});
      continue;
    }
    if (kept != i) sounds[kept] = std::move(sounds[i]);
    ++kept;
  }
  sounds.resize(kept);
}

TbSoundEntry BankHeaderFor(const SoundFormat& format, std::uint32_t dataSize, std::string_view name) {
  TbSoundEntry h;
  h.HeaderSize = TbSoundEntry::kSize;
  h.DataSize = dataSize;
  h.SetName(name);
  format.ApplyTo(h);
  return h;
}

Status CreateBankFrom(const std::filesystem::path& folder, const std::filesystem::path& target,
                      const Reporter& report, const CreateOptions& options) {
  BankTemplate like;
  if (options.Like) {
    auto opened = BankTemplate::Open(*options.Like);
    if (!opened) return opened.status();
    like = std::move(*opened);
  }
  auto sounds = GatherSounds(folder, options, report, like);
  if (!sounds) return sounds.status();
  OrderSounds(*sounds, report);
  for (Wav2Entry& sound : *sounds)
    like.TakeFields(sound.Index, sound.NamePart, PathToUtf8(sound.File), sound.Header,
                    report);
  report({ReportKind::Progress, Str("Found ", sounds->size(), " sounds.\n")});
  if (sounds->empty())
    report({ReportKind::Warning,
           Str("no numbered sound files in ", PathToUtf8(folder),
               "; the bank holds no sounds and cannot be opened\n")});

  // Converted samples wait beside the target until every size in its table is known.
  std::optional<ScratchFile> scratch;
  std::optional<InputFile> scratchReader;
  if (std::any_of(sounds->begin(), sounds->end(), [](const Wav2Entry& s) { return s.Convert.has_value(); })) {
    auto created = ScratchFile::CreateBeside(target);
    if (!created) return created.status();
    scratch.emplace(std::move(*created));
    if (Status s = ConvertSounds(*sounds, *scratch, report); !s) return s;
    auto reader = scratch->Reader();
    if (!reader) return reader.status();
    scratchReader.emplace(std::move(*reader));
  }

  std::vector<TbSoundEntry> headers;
  headers.reserve(sounds->size());
  for (const Wav2Entry& sound : *sounds) {
    headers.push_back(sound.Header);
    like.TakeRate(sound.Index, options.Format, headers.back());
  }
  const InputFile* converted = scratchReader ? &*scratchReader : nullptr;
  const Status written = WriteBank(
      target, headers,
      [&](std::size_t i, AtomicFile& out) { return CopySamples((*sounds)[i], converted, out); },
      [&](std::size_t i, AtomicFile& out) { return like.CopyExtraHeader((*sounds)[i].Index, out); });
  if (!written) return written;
  report({ReportKind::Progress, "Created SDT bank\n"});
  return Status::Ok();
}

}  // namespace Orvane
