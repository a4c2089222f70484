#pragma once
// The waveform peaks of a sound's samples: per channel, the lowest and highest sample of each
// block of frames, at block sizes from fine to coarse, so that a view of any width reads a few
// blocks per pixel instead of every sample.
#include <cstdint>
#include <span>
#include <vector>

#include "Status.h"

namespace Orvane {

// One lane per channel: for each block of `FramesPerBlock` frames, the lowest and highest
// sample, scaled to -1..1 (full scale negative is exactly -1). The last block of a lane may
// hold fewer frames.
struct PeakLevel {
  std::uint32_t FramesPerBlock = 0;
  std::vector<float> Min, Max;  // per lane: Min[lane * Blocks + b]
  std::uint32_t Blocks = 0;     // per lane
};

struct SoundPeaks {
  // The finest level's block: kShortBlock for a sound of at most kShortSamples samples, so
  // that a short sound drawn wide shows its shape rather than steps (its peaks stay a few
  // hundred KB), kFinestBlock otherwise; and the factor from each level to the next coarser.
  static constexpr std::uint32_t kShortBlock = 16;
  static constexpr std::uint64_t kShortSamples = std::uint64_t{1} << 20;
  static constexpr std::uint32_t kFinestBlock = 256;
  static constexpr std::uint32_t kLevelFactor = 8;
  static constexpr std::uint32_t FinestBlockFor(std::uint64_t frames, unsigned channels) {
    return frames * channels <= kShortSamples ? kShortBlock : kFinestBlock;
  }

  unsigned Channels = 0;
  std::uint64_t Frames = 0;
  // Finest first, down to a level of one block per lane. An empty sound has none; a sound of
  // more than 2^29 frames stops at blocks of 2^29 frames (FramesPerBlock is 32-bit).
  std::vector<PeakLevel> Levels;

  // The coarsest level whose blocks hold at most `framesPerPixel` frames (the finest when none
  // do). With no levels, an empty level of kFinestBlock frames per block and no blocks.
  const PeakLevel& LevelFor(double framesPerPixel) const;
};

// The peaks of interleaved PCM samples as a bank stores them: 8-bit unsigned (128 is silence)
// or 16, 24 or 32-bit signed little-endian, 1 to 255 channels. A trailing partial frame is
// ignored. Fails (Unsupported) for any other depth or channel count, and (TooLarge) when the
// peaks do not fit in memory.
Result<SoundPeaks> ComputePeaks(std::span<const std::uint8_t> samples, unsigned bitsPerSample,
                                unsigned channels);

// For a view that shows fewer frames a column than the finest peaks block: the lowest and
// highest sample of channel `channel` in frames `first` to `last` (exclusive, last > first) of
// samples laid out as ComputePeaks takes them, scaled as peaks are. The caller keeps the frames
// inside the samples.
struct SampleSpan {
  float Min = 0, Max = 0;
};
SampleSpan FrameSpan(std::span<const std::uint8_t> samples, unsigned bitsPerSample,
                     unsigned channels, unsigned channel, std::uint64_t first, std::uint64_t last);

}  // namespace Orvane
