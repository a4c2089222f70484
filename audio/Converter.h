#pragma once
// Brings decoded float frames to a bank's sample format: channels changed, resampled by
// libsoxr, clipped to full scale, TPDF-dithered where precision is lost, quantised and encoded
// little-endian. Streams: memory does not grow with the length of the sound.
#include <cstdint>
#include <functional>
#include <span>

#include "FloatSource.h"
#include "PcmFormat.h"
#include "Status.h"

namespace Orvane::Audio {

struct ConversionReport {
  std::uint64_t Frames = 0;   // frames handed to the sink
  std::uint64_t Clipped = 0;  // samples beyond full scale after resampling, clipped
  bool Resampled = false;
  bool Mixed = false;  // the channel count changed
  bool Dithered = false;
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
Result<ConversionReport> Convert(FloatSource& source, const PcmFormat& target,
                                 const PcmSink& sink,
                                 std::uint64_t maxBytes = 0xFFFFFFFFull);

}  // namespace Orvane::Audio
