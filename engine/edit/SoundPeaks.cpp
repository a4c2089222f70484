#include "SoundPeaks.h"

#include <algorithm>
#include <limits>
#include <new>
#include <utility>

#include "PcmFormat.h"
#include "PcmSamples.h"
#include "SoundFormat.h"
#include "Text.h"

namespace Orvane {
namespace {

using Audio::Signed16;
using Audio::Signed24;
using Audio::Signed32;
using Audio::Unsigned8;

// The lowest and highest of `count` samples `stride` bytes apart from `p`.
template <typename Sample>
inline void MinMax(const std::uint8_t* p, std::size_t count, std::size_t stride,
                   std::int32_t& lo, std::int32_t& hi) {
  lo = std::numeric_limits<std::int32_t>::max();
  hi = std::numeric_limits<std::int32_t>::min();
  for (std::size_t f = 0; f < count; ++f) {
    const std::int32_t v = Sample::Load(p + f * stride);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
}

// The finest level, in one pass over the samples. Min and max are kept as integers and scaled
// once per block. `kChannels` is the channel count when fixed at compile time (mono, the
// common case, then reads contiguous samples), 0 when it is not. In mono every block but the
// last is scanned with a constant count, which lets the compiler vectorise the loop without a
// tail (with several channels the strided loads do not vectorise, and the split only costs).
template <typename Sample, unsigned kChannels, std::size_t kBlock>
void ScanFinest(const std::uint8_t* data, std::uint64_t frames, unsigned channels,
                PeakLevel& level) {
  constexpr double kScale = 1.0 / Sample::kFullScale;
  if constexpr (kChannels != 0) channels = kChannels;
  const std::size_t stride = std::size_t{channels} * Sample::kBytes;
  const std::size_t blocks = level.Blocks;
  for (std::size_t b = 0; b < blocks; ++b) {
    const std::uint64_t first = std::uint64_t{b} * kBlock;
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, frames - first));
    const std::uint8_t* block = data + first * stride;
    for (unsigned c = 0; c < channels; ++c) {
      const std::uint8_t* p = block + std::size_t{c} * Sample::kBytes;
      std::int32_t lo, hi;
      if (kChannels == 1 && count == kBlock)
        MinMax<Sample>(p, kBlock, stride, lo, hi);
      else
        MinMax<Sample>(p, count, stride, lo, hi);
      level.Min[c * blocks + b] = static_cast<float>(lo * kScale);
      level.Max[c * blocks + b] = static_cast<float>(hi * kScale);
    }
  }
}

template <typename Sample, std::size_t kBlock>
void ScanFinest(const std::uint8_t* data, std::uint64_t frames, unsigned channels,
                PeakLevel& level) {
  if (channels == 1)
    ScanFinest<Sample, 1, kBlock>(data, frames, channels, level);
  else
    ScanFinest<Sample, 0, kBlock>(data, frames, channels, level);
}

template <typename Sample>
void ScanFinest(const std::uint8_t* data, std::uint64_t frames, unsigned channels,
                PeakLevel& level) {
  if (level.FramesPerBlock == SoundPeaks::kShortBlock)
    ScanFinest<Sample, SoundPeaks::kShortBlock>(data, frames, channels, level);
  else
    ScanFinest<Sample, SoundPeaks::kFinestBlock>(data, frames, channels, level);
}

// The next coarser level, from `fine` alone: each block spans kLevelFactor blocks of it.
PeakLevel Coarser(const PeakLevel& fine, unsigned channels) {
  constexpr std::uint32_t kFactor = SoundPeaks::kLevelFactor;
  PeakLevel out;
  out.FramesPerBlock = fine.FramesPerBlock * kFactor;
  out.Blocks = fine.Blocks / kFactor + (fine.Blocks % kFactor != 0);
  out.Min.resize(std::size_t{channels} * out.Blocks);
  out.Max.resize(out.Min.size());
  for (std::size_t c = 0; c < channels; ++c) {
    const float* fineMin = fine.Min.data() + c * fine.Blocks;
    const float* fineMax = fine.Max.data() + c * fine.Blocks;
    for (std::size_t b = 0; b < out.Blocks; ++b) {
      const std::size_t first = b * kFactor;
      const std::size_t last = std::min<std::size_t>(first + kFactor, fine.Blocks);
      out.Min[c * out.Blocks + b] = *std::min_element(fineMin + first, fineMin + last);
      out.Max[c * out.Blocks + b] = *std::max_element(fineMax + first, fineMax + last);
    }
  }
  return out;
}

template <typename Sample>
SampleSpan FrameSpanOf(std::span<const std::uint8_t> samples, unsigned channels, unsigned channel,
                       std::uint64_t first, std::uint64_t last) {
  const std::size_t stride = std::size_t{channels} * Sample::kBytes;
  std::int32_t lo, hi;
  MinMax<Sample>(samples.data() + first * stride + std::size_t{channel} * Sample::kBytes,
                 static_cast<std::size_t>(last - first), stride, lo, hi);
  constexpr double kScale = 1.0 / Sample::kFullScale;
  return {static_cast<float>(lo * kScale), static_cast<float>(hi * kScale)};
}

}  // namespace

SampleSpan FrameSpan(std::span<const std::uint8_t> samples, unsigned bitsPerSample,
                     unsigned channels, unsigned channel, std::uint64_t first, std::uint64_t last) {
  return Audio::WithPcmSample(bitsPerSample, [&]<typename Sample>(Sample) {
    return FrameSpanOf<Sample>(samples, channels, channel, first, last);
  });
}

const PeakLevel& SoundPeaks::LevelFor(double framesPerPixel) const {
  // An empty sound has nothing to draw; a view asking for its level gets no blocks rather than
  // a reference to nothing, and a block size it can divide by.
  static const PeakLevel kNone{kFinestBlock, {}, {}, 0};
  if (Levels.empty()) return kNone;
  const PeakLevel* chosen = &Levels.front();
  for (const PeakLevel& level : Levels)
    if (level.FramesPerBlock <= framesPerPixel) chosen = &level;
  return *chosen;
}

Result<SoundPeaks> ComputePeaks(std::span<const std::uint8_t> samples, unsigned bitsPerSample,
                                unsigned channels) {
  if (!Audio::IsPcmDepth(bitsPerSample))
    return Result<SoundPeaks>::Error(
        ErrorKind::Unsupported, Str("peaks are read from ", Audio::PcmDepthsText(), "-bit samples, not ",
                                    bitsPerSample, "-bit ones"));
  if (channels == 0 || channels > kMaxChannels)
    return Result<SoundPeaks>::Error(
        ErrorKind::Unsupported,
        Str("peaks are read from sounds of 1 to ", kMaxChannels, " channels, not ", channels));

  SoundPeaks peaks;
  peaks.Channels = channels;
  peaks.Frames = samples.size() / (std::uint64_t{bitsPerSample / 8} * channels);
  if (peaks.Frames == 0) return peaks;

  const std::uint32_t block = SoundPeaks::FinestBlockFor(peaks.Frames, channels);
  const std::uint64_t finestBlocks = (peaks.Frames + block - 1) / block;
  if (finestBlocks > std::numeric_limits<std::uint32_t>::max())
    return Result<SoundPeaks>::Error(
        ErrorKind::TooLarge, Str("its ", peaks.Frames, " frames make more blocks of ", block,
                                 " than a 32-bit count holds"));
  try {
    PeakLevel finest;
    finest.FramesPerBlock = block;
    finest.Blocks = static_cast<std::uint32_t>(finestBlocks);
    finest.Min.resize(std::size_t{channels} * finest.Blocks);
    finest.Max.resize(finest.Min.size());
    // Only whole frames are read: every block lies inside `samples`.
    Audio::WithPcmSample(bitsPerSample, [&]<typename Sample>(Sample) {
      ScanFinest<Sample>(samples.data(), peaks.Frames, channels, finest);
    });
    peaks.Levels.push_back(std::move(finest));
    // Coarser levels until one block per lane, or the largest block a 32-bit size holds.
    constexpr std::uint32_t kLargestBlock =
        std::numeric_limits<std::uint32_t>::max() / SoundPeaks::kLevelFactor;
    while (peaks.Levels.back().Blocks > 1 && peaks.Levels.back().FramesPerBlock <= kLargestBlock) {
      PeakLevel next = Coarser(peaks.Levels.back(), channels);
      peaks.Levels.push_back(std::move(next));
    }
  } catch (const std::bad_alloc&) {
    return Result<SoundPeaks>::Error(
        ErrorKind::TooLarge,
        Str("the peaks of its ", peaks.Frames,
            " frames do not fit in the memory this program can have"));
  }
  return peaks;
}

}  // namespace Orvane
