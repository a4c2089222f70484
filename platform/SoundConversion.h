#pragma once
// How the sound output has a sound brought to the format its device already plays, without
// knowing how: the samples are converted elsewhere (a resampler's code stays out of platform/,
// which the converting code itself depends on), behind this interface, which the program hands
// each SoundOutput it makes.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace Orvane {

// How samples lie in memory: channels interleaved, little-endian; 8-bit unsigned, 16, 24 or
// 32-bit signed, or 32-bit float.
struct SampleFormat {
  std::uint32_t RateHz = 0;
  unsigned Channels = 0;
  unsigned Bits = 0;
  bool Float = false;

  unsigned BytesPerFrame() const { return Bits / 8 * Channels; }
};

// One sound on its way to a device, converted piece by piece as the device asks for it, so that
// starting a sound never waits for the whole of it to convert.
class SoundConversion {
 public:
  virtual ~SoundConversion() = default;
  // Fills `out` (whole frames of the device's format) with the next converted samples and
  // answers how many bytes it wrote: fewer than out.size() only once the sound has ended.
  // Runs on the audio thread: it neither waits nor fails.
  virtual std::size_t Read(std::span<std::uint8_t> out) = 0;
};

// Makes a conversion of `samples` (in `from`, which outlive it) to `to`, or nothing when it
// cannot convert between the two.
using SoundConverter = std::function<std::unique_ptr<SoundConversion>(
    std::span<const std::uint8_t> samples, const SampleFormat& from, const SampleFormat& to)>;

}  // namespace Orvane
