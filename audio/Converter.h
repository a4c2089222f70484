#pragma once
// Brings decoded float frames to a bank's sample format: channels changed, resampled by
// libsoxr, clipped to full scale, TPDF-dithered where precision is lost, quantised and encoded
// little-endian. Streams: memory does not grow with the length of the sound, unless its
// loudness is matched, which holds it whole (see Convert).
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "FloatSource.h"
#include "PcmFormat.h"
#include "Status.h"

namespace Orvane::Audio {

// What matching loudness made of a sound.
struct LoudnessMatch {
  enum class Outcome {
    Matched,         // the gain brings the sound to the target
    PeakLimited,     // the gain stops where the sample peak reaches kMatchPeakDbfs
    TargetSilent,    // nothing to match: no gain
    SoundSilent,     // a silent sound stays silent: no gain
  };
  Outcome What = Outcome::Matched;
  double GainDb = 0;        // applied
  double ShortLu = 0;       // how far below the target a peak-limited sound stays
  double LoudnessLufs = 0;  // of the sound before the gain
};

// The highest sample peak a gain that matches loudness may reach.
inline constexpr double kMatchPeakDbfs = -1.0;

struct ConversionReport {
  std::uint64_t Frames = 0;   // frames handed to the sink
  std::uint64_t Clipped = 0;  // samples beyond full scale after resampling, clipped
  bool Resampled = false;
  bool Mixed = false;  // the channel count changed
  bool Dithered = false;
  std::optional<LoudnessMatch> Match;  // when loudness was matched
};

// Takes each piece of PCM bytes in order; a failure stops the conversion and is answered.
using PcmSink = std::function<Status(std::span<const std::uint8_t> bytes)>;

// Why `from` channels cannot become `to` (Unsupported), or Ok. To mono is the mean of all
// channels, from mono the same samples in every channel; nothing else is done.
Status CheckChannelChange(unsigned from, unsigned to);

// Reads `source` to its end and hands `target`'s bytes to `sink`. Dithers (fixed seed: the same
// input gives the same bytes) when the target has fewer bits than the source, or the sound is
// resampled or its channels change. Fails on a non-finite sample (Damaged), on a channel change
// CheckChannelChange refuses, on a target depth other than 8/16/24/32, channels outside 1..255,
// a rate that is not positive and finite or rates more than 1024 times apart (Unsupported), and
// (TooLarge) once more than `maxBytes` would reach the sink: what reached it stays within.
// With `matchLufs`, the converted sound is measured whole, then given the gain that brings its
// loudness to `matchLufs` (no more than lets its sample peak reach kMatchPeakDbfs) in floating
// point, before it is clipped, dithered and quantised; it is held in memory for that, and a
// sound of more than kMaxMatchedSamples samples is refused (TooLarge).
Result<ConversionReport> Convert(FloatSource& source, const PcmFormat& target,
                                 const PcmSink& sink,
                                 std::uint64_t maxBytes = 0xFFFFFFFFull,
                                 std::optional<double> matchLufs = std::nullopt);

// 256 MiB of floats a file, one file a core: over 12 minutes of 44,100 Hz stereo, far beyond a
// game's sound, while a hostile file costs a bounded share of memory before it is refused.
inline constexpr std::uint64_t kMaxMatchedSamples = std::uint64_t{1} << 26;

}  // namespace Orvane::Audio
