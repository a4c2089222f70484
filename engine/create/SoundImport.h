#pragma once
// How an audio file a user brings becomes a sound's samples: a PCM WAVE file that a bank holds
// as it is, in the format asked for, is copied byte for byte; everything else is decoded (in
// an isolated process) and converted.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "AudioContainer.h"
#include "Converter.h"
#include "FloatSource.h"
#include "Reporter.h"
#include "SoundFormat.h"
#include "Status.h"
#include "WaveReader.h"

namespace Orvane {

// The format asked for. A field not given follows the default target: a file that fits a bank
// keeps its own; one that does not becomes 22,050 Hz, 16-bit, its own channels up to stereo
// (more are mixed to mono, the one change that can be made to them).
struct FormatRequest {
  std::optional<std::uint16_t> SampleRate;  // as stored: twice the rate
  std::optional<std::uint8_t> BitsPerSample;
  std::optional<std::uint8_t> NumChannels;

  bool Empty() const { return !SampleRate && !BitsPerSample && !NumChannels; }
  static FormatRequest Exactly(const SoundFormat& format);
};

// A file identified and checked, before any sample is read.
struct SoundFile {
  std::filesystem::path Path;
  Audio::Container Container = Audio::Container::Wave;
  std::optional<WaveInfo> Wave;  // set for a RIFF WAVE file: where its samples are
  bool Fits = false;             // a PCM WAVE file that a bank holds as it is

  // True when its samples go into the bank unchanged under `request`.
  bool CopiesUnchanged(const FormatRequest& request) const;
  // The format the file's samples get under `request`, once its decoded channels are known.
  SoundFormat TargetFor(const FormatRequest& request, unsigned decodedChannels) const;
};

// The format of a WAVE file that fits a bank, as the bank stores it.
SoundFormat FormatOfWave(const WaveInfo& wave);

// Why a WAVE file cannot go into a bank as it is: NeedsConversion where conversion mends it,
// Unsupported where nothing here can, each saying how to mend the file; Ok when it fits.
Status CheckFitsBank(const WaveInfo& wave);

// Identifies and checks `file`; its warnings (a data chunk cut short...) go to `report`.
// Fails with the reason, not naming the file.
Result<SoundFile> CheckSoundFile(const std::filesystem::path& file, const Reporter& report);

struct ConvertedSound {
  SoundFormat Format;
  std::uint32_t DataSize = 0;
  // "44100 Hz 24-bit stereo -> 22050 Hz 16-bit stereo (resampled, dithered)"
  std::string Note;
  std::uint64_t Clipped = 0;
  bool Copied = false;  // the file's own samples, byte for byte: nothing to note
  std::optional<Audio::LoudnessMatch> Match;  // when its loudness was matched
};

// The loudness, in LUFS, that brought-in samples are to be given; -inf for a silent target.
using LoudnessTarget = std::optional<double>;

// Told, before any byte reaches a sink, how many the samples are expected to take: the size
// the file declares, brought to the target format. Only a guess, from the file's header.
using SizeHint = std::function<void(std::uint64_t bytes)>;

// Decodes `file` (a WAVE file's plain samples in this process, anything else in a child
// process) and converts it to its target under `request`, handing
// the bytes to `sink`. Fails with the reason, not naming the file.
Result<ConvertedSound> ConvertSound(const SoundFile& file, const FormatRequest& request,
                                    const Audio::PcmSink& sink, const SizeHint& expect = {},
                                    LoudnessTarget loudness = {});

// The samples `file` gives under `request`, handed to `sink`: a WAVE file that a bank holds as
// it is, already in that format, copied byte for byte; anything else converted, and anything
// whose loudness is to be matched.
Result<ConvertedSound> ImportSamples(const SoundFile& file, const FormatRequest& request,
                                     const Audio::PcmSink& sink, const SizeHint& expect = {},
                                     LoudnessTarget loudness = {});

// What `file` declares before it is decoded: its rate, channels, precision, encoding and, where
// it says, its length. Plain WAVE samples are read here; anything else in a child process that
// only opens the file.
Result<Audio::SourceInfo> ProbeSound(const SoundFile& file);

// "44100 Hz 24-bit stereo -> 22050 Hz 16-bit stereo": what a conversion makes of a sound.
std::string ConversionText(const Audio::SourceInfo& source, const SoundFormat& target);

// True when `file` holds `samples` exactly as a sound of `format` holds them: a PCM WAVE file of
// that format, as export writes it (whole hertz), with the same sample bytes.
Result<bool> HoldsSamples(const SoundFile& file, const SoundFormat& format,
                          std::span<const std::uint8_t> samples);

// "<name>: <note>" as a note, and a warning when samples were clipped or a matched loudness
// fell short; a note when there was no loudness to match.
void ReportConversion(const Reporter& report, const std::string& name,
                      const ConvertedSound& sound);

}  // namespace Orvane
