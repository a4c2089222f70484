#include "BankCreator.h"

#include <algorithm>

#include "BankWriter.h"
#include "ByteSource.h"
#include "SoundFileName.h"
#include "Text.h"

namespace Orvane {
namespace {

constexpr std::uint32_t kMaxSampleRate = 32767;  // the bank stores twice the rate in 16 bits
constexpr std::uint16_t kMaxByteField = 255;

std::string FormatName(std::uint16_t tag) {
  switch (tag) {
    case 2: return "ADPCM";
    case 3: return "32-bit float";
    case 6: return "A-law";
    case 7: return "mu-law";
    case 0x55: return "MP3";
    case WaveInfo::kFormatExtensible: return "an unknown extensible format";
    default: return Str("format ", tag);
  }
}

// Why a well-formed WAVE file still cannot become a sound of a bank, and how to mend it.
Status CheckFitsBank(const WaveInfo& wave) {
  if (!wave.IsPcm())
    return Status::Error(Str("its samples are ", FormatName(wave.FormatTag),
                             ", not PCM; save it as 16-bit PCM"));
  if (wave.SampleRate > kMaxSampleRate)
    return Status::Error(Str("its sample rate is ", wave.SampleRate,
                             " Hz, above the 32,767 Hz a bank can hold; resample it to 22,050 Hz"));
  if (wave.NumChannels > kMaxByteField)
    return Status::Error(Str("it has ", wave.NumChannels,
                             " channels, more than the 255 a bank can hold; mix it down to mono"));
  if (wave.BitsPerSample > kMaxByteField)
    return Status::Error(Str("it has ", wave.BitsPerSample,
                             " bits per sample, more than the 255 a bank can hold; save it as 16-bit"));
  return Status::Ok();
}

// Reads one candidate's name and WAVE header; Error names the file.
Result<Wav2Entry> ReadCandidate(const std::filesystem::path& file, const NumberedName& split,
                                const Reporter& report) {
  const std::string where = file.string() + ": ";
  auto number = ParseSoundNumber(split.NumberText);
  if (!number)
    return Result<Wav2Entry>::Error(
        Str(where, number.message(), "; rename it to <number>_<name>.wav, e.g. 3_bell.wav"));
  auto source = FileSource::Open(file);
  if (!source) return Result<Wav2Entry>::Error(Str(where, "cannot be read: ", source.message()));
  auto wave = ReadWave(*source);
  if (!wave) return Result<Wav2Entry>::Error(Str(where, wave.message()));
  if (Status fits = CheckFitsBank(*wave); !fits) return Result<Wav2Entry>::Error(where + fits.message());
  for (const std::string& warning : wave->Warnings) report(ReportKind::Warning, where + warning + "\n");

  Wav2Entry sound;
  sound.Index = *number;
  sound.Header = BankHeaderFor(*wave, split.Name);
  sound.DataOffset = wave->DataOffset;
  sound.FileName = file.filename().string();
  return sound;
}

Status CopySamples(const std::filesystem::path& folder, const Wav2Entry& sound, AtomicFile& out) {
  const std::filesystem::path file = folder / sound.FileName;
  auto source = FileSource::Open(file);
  if (!source) return Status::Error(Str(file.string(), ": cannot be read any more: ", source.message()));
  const std::uint64_t end = sound.DataOffset + sound.Header.DataSize;
  if (source->Size() < end)
    return Status::Error(Str(file.string(), ": changed while the bank was being made: it is now ",
                             source->Size(), " bytes long, but its samples ran to byte ", end));
  return out.CopyFrom(source->File(), sound.DataOffset, sound.Header.DataSize);
}

}  // namespace

Result<Wav2Entries> GatherSounds(const std::filesystem::path& folder, const Reporter& report) {
  using Sounds = Result<Wav2Entries>;
  Wav2Entries sounds;
  std::error_code ec;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code typeEc;
    if (it->is_directory(typeEc)) continue;  // a link to a folder is a folder too
    const auto split = SplitNumberedName(it->path().filename());
    if (!split) continue;
    auto sound = ReadCandidate(it->path(), *split, report);
    if (!sound) return Sounds(sound.status());
    sounds.push_back(std::move(*sound));
  }
  if (ec)
    return Sounds::Error(Str("cannot list the folder ", folder.string(), ": ", ec.message(),
                             "; export a bank into it first"));
  return sounds;
}

void OrderSounds(const std::filesystem::path& folder, Wav2Entries& sounds, const Reporter& report) {
  std::sort(sounds.begin(), sounds.end(), [](const Wav2Entry& a, const Wav2Entry& b) {
    return a.Index != b.Index ? a.Index < b.Index : a.FileName < b.FileName;
  });
  std::size_t kept = 0;
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    if (kept > 0 && sounds[kept - 1].Index == sounds[i].Index) {
      report(ReportKind::Warning,
             Str((folder / sounds[i].FileName).string(), ": sound number ", sounds[i].Index,
                 " is taken by ", sounds[kept - 1].FileName, " already; this file is left out\n"));
      continue;
    }
    if (kept != i) sounds[kept] = std::move(sounds[i]);
    ++kept;
  }
  sounds.resize(kept);
}

TbSoundEntry BankHeaderFor(const WaveInfo& wave, std::string_view name) {
  TbSoundEntry h;
  h.HeaderSize = TbSoundEntry::kSize;
  h.DataSize = wave.DataSize;
  h.SetName(name);
  h.SampleRate = static_cast<std::uint16_t>(wave.SampleRate * 2u);
  h.BitsPerSample = static_cast<std::uint8_t>(wave.BitsPerSample);
  h.NumChannels = static_cast<std::uint8_t>(wave.NumChannels);
  return h;
}

Status CreateBankFrom(const std::filesystem::path& folder, const std::filesystem::path& target,
                      const Reporter& report) {
  auto sounds = GatherSounds(folder, report);
  if (!sounds) return sounds.status();
  OrderSounds(folder, *sounds, report);
  report(ReportKind::Progress, Str("Found ", sounds->size(), " sounds.\n"));
  if (sounds->empty())
    report(ReportKind::Warning,
           Str("no numbered WAVE files in ", folder.string(),
               "; the bank holds no sounds and cannot be opened\n"));

  std::vector<TbSoundEntry> headers;
  headers.reserve(sounds->size());
  for (const Wav2Entry& sound : *sounds) headers.push_back(sound.Header);
  const Status written = WriteBank(target, headers, [&](std::size_t i, AtomicFile& out) {
    return CopySamples(folder, (*sounds)[i], out);
  });
  if (!written) return written;
  report(ReportKind::Progress, "Created SDT bank\n");
  return Status::Ok();
}

}  // namespace Orvane
