#include "SoundImport.h"

#include <algorithm>
#include <iomanip>

#include "AudioFileType.h"
#include "ByteSource.h"
#include "Decoder.h"
#include "PathUtf8.h"
#include "PcmFileSource.h"
#include "Text.h"

namespace Orvane {
namespace {

// Rates no real recording has: a file that claims one would resample into gigabytes.
constexpr double kMinSourceRate = 1000;
constexpr double kMaxSourceRate = 768000;

}  // namespace

SoundFormat FormatOfWave(const WaveInfo& wave) {
  return {StoredRateOfWholeHz(wave.SampleRateHz), static_cast<std::uint8_t>(wave.BitsPerSample),
          static_cast<std::uint8_t>(wave.NumChannels)};
}

FormatRequest FormatRequest::Exactly(const SoundFormat& format) {
  return {format.SampleRate, format.BitsPerSample, format.NumChannels};
}

bool SoundFile::CopiesUnchanged(const FormatRequest& request) const {
  if (!Fits) return false;
  const SoundFormat own = TargetFor({}, Wave->NumChannels);
  return TargetFor(request, Wave->NumChannels) == own;
}

SoundFormat SoundFile::TargetFor(const FormatRequest& request, unsigned decodedChannels) const {
  SoundFormat target;
  if (Fits) {
    target = FormatOfWave(*Wave);
  } else {
    target = {StoredRateOfWholeHz(kDefaultRateHz), kDefaultBits,
              static_cast<std::uint8_t>(decodedChannels <= kDefaultMaxChannels ? decodedChannels : 1)};
  }
  target.SampleRate = request.SampleRate.value_or(target.SampleRate);
  target.BitsPerSample = request.BitsPerSample.value_or(target.BitsPerSample);
  target.NumChannels = request.NumChannels.value_or(target.NumChannels);
  return target;
}

Status CheckFitsBank(const WaveInfo& wave) {
  const auto mend = [](std::string reason) {
    return Status::Error(ErrorKind::NeedsConversion, std::move(reason));
  };
  const std::string saveAsPcm = Str("save it as ", +kDefaultBits, "-bit PCM");
  if (wave.FormatTag == WaveInfo::kFormatFloat)
    return mend(Str("its samples are ", wave.BitsPerSample, "-bit floating point, not PCM; ",
                    saveAsPcm));
  if (!wave.IsPcm())
    return Status::Error(ErrorKind::Unsupported,
                         Str("its samples are ", WaveFormatName(wave.FormatTag), ", not PCM; ",
                             saveAsPcm));
  if (wave.Rf64) return mend("it is an RF64 file; save it as a plain WAVE file");
  if (!IsBankRate(wave.SampleRateHz))
    return mend(Str("its sample rate is ", Thousands(wave.SampleRateHz), " Hz, and a bank holds ",
                    BankRatesText(), "; resample it to ", Thousands(kDefaultRateHz), " Hz"));
  if (wave.NumChannels > kMaxChannels)
    return Status::Error(ErrorKind::Unsupported,
                         Str("it has ", wave.NumChannels, " channels, more than the ",
                             kMaxChannels, " a bank can hold; mix it down to mono"));
  if (wave.BitsPerSample > kMaxByteField)
    return Status::Error(ErrorKind::Unsupported,
                         Str("it has ", wave.BitsPerSample, " bits per sample, more than the ",
                             kMaxByteField, " a bank can hold; save it as ", +kDefaultBits,
                             "-bit"));
  return Status::Ok();
}

Result<SoundFile> CheckSoundFile(const std::filesystem::path& file, const Reporter& report) {
  auto source = FileSource::Open(file);
  if (!source)
    return source.status().Prefixed("cannot be read: ");
  auto type = IdentifyAudioFile(*source);
  if (!type) return Result<SoundFile>(type.status());
  SoundFile sound{file, type->Container, std::nullopt};
  // RF64 goes to the decoder: its sizes past 4 GiB are not in the chunks read here.
  if (type->Container == Audio::Container::Wave) {
    WaveInfo& wave = *type->Wave;
    for (const std::string& warning : wave.Warnings)
      report({ReportKind::Warning, Str(PathToUtf8(file), ": ", warning, "\n")});
    sound.Fits = CheckFitsBank(wave).ok();
    wave.Chunks.clear();  // only the samples' place and format are needed from here on
    wave.Warnings.clear();
    sound.Wave = std::move(wave);
  }
  return sound;
}

namespace {

// Plain samples of a WAVE file need no decoding library: they are read here, where no child
// process and no pipe stand between them and the conversion.
Result<std::unique_ptr<Audio::FloatSource>> OpenSource(const SoundFile& file) {
  if (!file.Wave) return Audio::OpenIsolatedDecoder(file.Path, file.Container);
  const WaveInfo& wave = *file.Wave;
  return Audio::OpenPcmFileSource(
      file.Path, {static_cast<double>(wave.SampleRateHz), wave.NumChannels, wave.BitsPerSample,
                  wave.FormatTag == WaveInfo::kFormatFloat, wave.DataOffset, wave.DataSize});
}

}  // namespace

Result<ConvertedSound> ConvertSound(const SoundFile& file, const FormatRequest& request,
                                    const Audio::PcmSink& sink, const SizeHint& expect,
                                    LoudnessTarget loudness) {
  auto decoder = OpenSource(file);
  if (!decoder) return Result<ConvertedSound>(decoder.status());
  const Audio::SourceInfo source = (*decoder)->Info();
  if (!(source.RateHz >= kMinSourceRate && source.RateHz <= kMaxSourceRate))
    return Result<ConvertedSound>::Error(
        ErrorKind::Unsupported, Str("its sample rate of ", RateText(source.RateHz),
                                    " is outside the 1,000 to 768,000 Hz that conversion takes"));
  ConvertedSound sound;
  sound.Format = file.TargetFor(request, source.Channels);
  if (expect && source.Frames) {
    // A header may claim anything: past 2^48 bytes the guess is only "very large".
    const double bytes = static_cast<double>(*source.Frames) * sound.Format.RateHz() /
                         source.RateHz * sound.Format.Pcm().BytesPerFrame();
    expect(static_cast<std::uint64_t>(std::min(bytes, 0x1p48)));
  }
  auto done = Audio::Convert(**decoder, sound.Format.Pcm(), sink, 0xFFFFFFFFull, loudness);
  if (!done) return Result<ConvertedSound>(done.status());
  // A decoder that gives nothing met no sound it could read: an empty sound would hide that.
  if (done->Frames == 0 && !file.Wave)
    return Result<ConvertedSound>::Error(ErrorKind::Damaged,
                                         "it decodes to no samples at all; it is probably damaged");
  sound.DataSize = static_cast<std::uint32_t>(done->Frames * sound.Format.Pcm().BytesPerFrame());
  sound.Clipped = done->Clipped;
  sound.Match = done->Match;

  std::vector<std::string> steps;
  if (done->Resampled) steps.push_back("resampled");
  if (done->Mixed)
    steps.push_back(sound.Format.NumChannels == 1 ? "mixed to mono"
                                                  : Str("copied to ", +sound.Format.NumChannels,
                                                        " channels"));
  if (done->Dithered) steps.push_back("dithered");
  if (done->Match && done->Match->GainDb != 0)
    steps.push_back(Str(std::showpos, std::fixed, std::setprecision(1), done->Match->GainDb,
                        " dB to match loudness"));
  if (steps.empty()) steps.push_back("decoded");
  std::string how;
  for (const std::string& step : steps) how += (how.empty() ? "" : ", ") + step;
  sound.Note = Str(ConversionText(source, sound.Format), " (", how, ")");
  return sound;
}

Result<Audio::SourceInfo> ProbeSound(const SoundFile& file) {
  if (!file.Wave) return Audio::ProbeIsolatedDecoder(file.Path, file.Container);
  auto source = OpenSource(file);
  if (!source) return source.status();
  return (*source)->Info();
}

std::string ConversionText(const Audio::SourceInfo& source, const SoundFormat& target) {
  return Str(RateText(source.RateHz), ' ', source.Encoding, ' ', ChannelsText(source.Channels),
             " -> ", FormatText(target));
}

Result<bool> HoldsSamples(const SoundFile& file, const SoundFormat& format,
                          std::span<const std::uint8_t> samples) {
  if (!file.Fits) return false;
  const SoundFormat own = FormatOfWave(*file.Wave);
  if (WholeHzOfStoredRate(own.SampleRate) != WholeHzOfStoredRate(format.SampleRate) ||
      own.BitsPerSample != format.BitsPerSample || own.NumChannels != format.NumChannels ||
      file.Wave->DataSize != samples.size())
    return false;
  auto source = FileSource::Open(file.Path);
  if (!source) return source.status().Prefixed("cannot be read any more: ");
  constexpr std::size_t kChunk = std::size_t{1} << 20;
  std::vector<std::uint8_t> chunk(std::min(kChunk, samples.size()));
  for (std::size_t done = 0; done < samples.size(); done += chunk.size()) {
    chunk.resize(std::min(kChunk, samples.size() - done));
    if (Status read = source->ReadAt(file.Wave->DataOffset + done, chunk); !read) return read;
    if (!std::equal(chunk.begin(), chunk.end(), samples.begin() + static_cast<std::ptrdiff_t>(done)))
      return false;
  }
  return true;
}

Result<ConvertedSound> ImportSamples(const SoundFile& file, const FormatRequest& request,
                                     const Audio::PcmSink& sink, const SizeHint& expect,
                                     LoudnessTarget loudness) {
  if (!file.CopiesUnchanged(request) || loudness)
    return ConvertSound(file, request, sink, expect, loudness);
  const WaveInfo& wave = *file.Wave;
  auto source = FileSource::Open(file.Path);
  if (!source)
    return Result<ConvertedSound>::Error(ErrorKind::Io,
                                         Str("cannot be read any more: ", source.message()));
  if (expect) expect(wave.DataSize);
  constexpr std::uint64_t kChunk = std::uint64_t{1} << 20;
  std::vector<std::uint8_t> chunk(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, wave.DataSize)));
  for (std::uint64_t done = 0; done < wave.DataSize;) {
    const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, wave.DataSize - done));
    const std::span<std::uint8_t> bytes(chunk.data(), n);
    if (!source->ReadAt(wave.DataOffset + done, bytes))
      return Result<ConvertedSound>::Error(ErrorKind::ChangedOnDisk,
                                           "it became shorter while it was being read");
    if (Status s = sink(bytes); !s) return Result<ConvertedSound>(s);
    done += n;
  }
  ConvertedSound sound;
  sound.Format = file.TargetFor(request, wave.NumChannels);
  sound.DataSize = wave.DataSize;
  sound.Copied = true;
  return sound;
}

void ReportConversion(const Reporter& report, const std::string& name,
                      const ConvertedSound& sound) {
  if (sound.Copied) return;
  report({ReportKind::Note, Str(name, ": ", sound.Note, "\n")});
  if (sound.Clipped > 0)
    report({ReportKind::Warning,
           Str(name, ": ", sound.Clipped,
               " samples went beyond full scale and were clipped; lower its volume to avoid it\n")});
  if (!sound.Match) return;
  using Outcome = Audio::LoudnessMatch::Outcome;
  const Audio::LoudnessMatch& match = *sound.Match;
  const auto lu = [](double value) { return Str(std::fixed, std::setprecision(1), value); };
  switch (match.What) {
    case Outcome::Matched: break;
    case Outcome::PeakLimited:
      report({ReportKind::Warning,
              Str(name, ": its gain stops at a peak of ", lu(Audio::kMatchPeakDbfs), " dBFS, ",
                  lu(match.ShortLu), " LU short of the loudness it was to match\n")});
      break;
    case Outcome::TargetSilent:
      report({ReportKind::Note,
              Str(name, ": the sound it replaces is silent; its loudness is left as it is\n")});
      break;
    case Outcome::SoundSilent:
      report({ReportKind::Note, Str(name, ": it is silent; no gain can match a loudness\n")});
      break;
  }
}

}  // namespace Orvane
