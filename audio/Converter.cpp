#include "Converter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "ChannelMixer.h"
#include "Loudness.h"
#include "Quantiser.h"
#include "Resampler.h"
#include "Text.h"

namespace Orvane::Audio {
namespace {

constexpr std::size_t kChunkFrames = 4096;
// Sounds of many channels take fewer frames a chunk, so that a chunk stays this many samples.
constexpr std::size_t kChunkSamples = 65536;

bool IsPositiveRate(double rate) { return std::isfinite(rate) && rate > 0; }

Status CheckTarget(const PcmFormat& target) {
  if (!IsPcmDepth(target.Bits))
    return Status::Error(ErrorKind::Unsupported,
                         Str("cannot write ", target.Bits, "-bit samples: only ",
                             PcmDepthsText("and"), "-bit PCM is written"));
  if (target.Channels < 1 || target.Channels > kMaxPcmChannels)
    return Status::Error(ErrorKind::Unsupported,
                         Str("cannot write ", target.Channels, " channels: 1 to ",
                             kMaxPcmChannels, " are possible"));
  if (!IsPositiveRate(target.RateHz))
    return Status::Error(ErrorKind::Unsupported,
                         Str("cannot convert to a rate of ", target.RateHz, " Hz"));
  return Status::Ok();
}

// Without an early exit, so that the compiler can vectorise the common case of no fault.
bool AllFinite(std::span<const float> samples) {
  bool finite = true;
  for (const float x : samples) finite &= std::abs(x) <= std::numeric_limits<float>::max();
  return finite;
}

// One conversion's buffers, sized once, and the stages each chunk passes through: mixing to
// mono, resampling, spreading mono, quantising, handing over. Mono is spread after resampling
// so that libsoxr filters one channel instead of many identical ones.
class Pipeline {
 public:
  // `report` says what the conversion does; the pipeline counts frames and clipped samples.
  // With `meter`, the converted samples are held and measured until Finish.
  Pipeline(const SourceInfo& info, const PcmFormat& target, std::optional<Resampler> resampler,
           const ConversionReport& report, const PcmSink& sink, std::uint64_t maxBytes,
           std::optional<LoudnessMeter> meter)
      : sourceChannels_(info.Channels),
        middleChannels_(std::min(info.Channels, target.Channels)),
        targetChannels_(target.Channels),
        chunkFrames_(std::clamp<std::size_t>(
            kChunkSamples / std::max(info.Channels, target.Channels), 1, kChunkFrames)),
        resampler_(std::move(resampler)),
        bits_(target.Bits),
        quantiser_(target.Bits, report.Dithered),
        sink_(sink),
        maxBytes_(maxBytes),
        report_(report),
        meter_(std::move(meter)),
        input_(chunkFrames_ * sourceChannels_),
        bytes_(chunkFrames_ * targetChannels_ * quantiser_.BytesPerSample()) {
    if (middleChannels_ < sourceChannels_) mono_.resize(chunkFrames_);
    if (resampler_) resampled_.resize(chunkFrames_ * middleChannels_);
    if (middleChannels_ < targetChannels_) spread_.resize(chunkFrames_ * targetChannels_);
  }

  const ConversionReport& Report() const { return report_; }

  Status Run(FloatSource& source) {
    for (;;) {
      auto read = source.Read(input_);
      if (!read) return read.status();
      const std::size_t frames = *read;
      if (frames == 0) break;
      if (frames > chunkFrames_)
        return Status::Error(ErrorKind::Failed, Str("the decoder answered ", frames,
                                                    " frames where ", chunkFrames_, " fit"));
      const auto samples = std::span<const float>(input_).first(frames * sourceChannels_);
      if (!AllFinite(samples)) return NonFinite(samples);
      framesRead_ += frames;

      std::span<const float> middle = samples;
      if (!mono_.empty()) {
        MixToMono(samples, sourceChannels_, std::span(mono_).first(frames));
        middle = std::span<const float>(mono_).first(frames);
      }
      if (Status s = resampler_ ? Resample(middle) : Deliver(middle); !s) return s;
    }
    return resampler_ ? Drain() : Status::Ok();
  }

  // Gives held samples the gain that brings them to `targetLufs` and hands them on.
  Status Finish(double targetLufs) {
    LoudnessMatch match;
    const Levels measured = meter_->Measured();
    match.LoudnessLufs = measured.LoudnessLufs;
    if (std::isinf(targetLufs)) {
      match.What = LoudnessMatch::Outcome::TargetSilent;
    } else if (measured.Silent() || std::isinf(measured.LoudnessLufs)) {
      match.What = LoudnessMatch::Outcome::SoundSilent;
    } else {
      match.GainDb = targetLufs - measured.LoudnessLufs;
      // Only a gain that raises the peak past the ceiling stops there; a sound already above it
      // keeps its peak, neither raised nor cut below its target.
      const double room = std::max(0.0, kMatchPeakDbfs - measured.PeakDbfs);
      if (match.GainDb > room) {
        match.What = LoudnessMatch::Outcome::PeakLimited;
        match.ShortLu = match.GainDb - room;
        match.GainDb = room;
      }
    }
    report_.Match = match;
    // Samples given a gain are new values: they are dithered like resampled ones.
    if (match.GainDb != 0) report_.Dithered = true;
    quantiser_ = Quantiser(bits_, report_.Dithered);
    const auto gain = static_cast<float>(std::pow(10.0, match.GainDb / 20));
    std::vector<float> chunk;
    const std::size_t step = chunkFrames_ * targetChannels_;
    for (std::size_t at = 0; at < held_.size(); at += step) {
      const std::size_t n = std::min(step, held_.size() - at);
      chunk.assign(held_.begin() + static_cast<std::ptrdiff_t>(at),
                   held_.begin() + static_cast<std::ptrdiff_t>(at + n));
      if (gain != 1) for (float& x : chunk) x *= gain;
      if (Status s = Emit(chunk); !s) return s;
    }
    return Status::Ok();
  }

 private:
  Status NonFinite(std::span<const float> samples) const {
    const auto bad = std::find_if(samples.begin(), samples.end(),
                                  [](float x) { return !std::isfinite(x); });
    const auto frame = framesRead_ + static_cast<std::uint64_t>(bad - samples.begin()) /
                                         sourceChannels_;
    return Status::Error(ErrorKind::Damaged,
                         Str("frame ", frame, " of the decoded sound holds ",
                             std::isnan(*bad) ? "a NaN" : "an infinite value",
                             " instead of a sample"));
  }

  Status Resample(std::span<const float> frames) {
    while (!frames.empty()) {
      auto step = resampler_->Process(frames, resampled_);
      if (!step) return step.status();
      frames = frames.subspan(step->Consumed * middleChannels_);
      if (Status s = DeliverResampled(step->Produced); !s) return s;
    }
    return Status::Ok();
  }

  Status Drain() {
    for (;;) {
      auto produced = resampler_->Flush(resampled_);
      if (!produced) return produced.status();
      if (*produced == 0) return Status::Ok();
      if (Status s = DeliverResampled(*produced); !s) return s;
    }
  }

  Status DeliverResampled(std::size_t frames) {
    return Deliver(std::span<const float>(resampled_).first(frames * middleChannels_));
  }

  // `frames` has middleChannels_ samples a frame and at most chunkFrames_ frames.
  Status Deliver(std::span<const float> frames) {
    const std::size_t count = frames.size() / middleChannels_;
    if (count == 0) return Status::Ok();
    std::span<const float> samples = frames;
    if (!spread_.empty()) {
      SpreadMono(frames, targetChannels_, std::span(spread_).first(count * targetChannels_));
      samples = std::span<const float>(spread_).first(count * targetChannels_);
    }
    if (meter_) return Hold(samples);
    return Emit(samples);
  }

  // Keeps converted samples for Finish, measuring them as they come.
  Status Hold(std::span<const float> samples) {
    if (held_.size() + samples.size() > kMaxMatchedSamples)
      return Status::Error(ErrorKind::TooLarge,
                           Str("matching its loudness holds the whole sound in memory, and it "
                               "has more than ", kMaxMatchedSamples, " samples"));
    if (held_.size() * quantiser_.BytesPerSample() + samples.size() * quantiser_.BytesPerSample() >
        maxBytes_)
      return Status::Error(ErrorKind::TooLarge,
                           Str("the converted sound is larger than ", maxBytes_, " bytes"));
    held_.insert(held_.end(), samples.begin(), samples.end());
    return meter_->Add(samples);
  }

  // Quantises whole frames of target samples and hands them to the sink.
  Status Emit(std::span<const float> samples) {
    const auto bytes = std::span(bytes_).first(samples.size() * quantiser_.BytesPerSample());
    if (bytes.size() > maxBytes_ - delivered_)
      return Status::Error(ErrorKind::TooLarge,
                           Str("the converted sound is larger than ", maxBytes_, " bytes"));
    report_.Clipped += quantiser_.Encode(samples, bytes);
    if (Status s = sink_(bytes); !s) return s;
    delivered_ += bytes.size();
    report_.Frames += samples.size() / targetChannels_;
    return Status::Ok();
  }

  const unsigned sourceChannels_;
  const unsigned middleChannels_;  // between mixing and spreading: the fewer of the two
  const unsigned targetChannels_;
  const std::size_t chunkFrames_;
  std::optional<Resampler> resampler_;
  const unsigned bits_;
  Quantiser quantiser_;
  const PcmSink& sink_;
  const std::uint64_t maxBytes_;
  std::uint64_t delivered_ = 0;
  std::uint64_t framesRead_ = 0;
  ConversionReport report_;
  std::optional<LoudnessMeter> meter_;  // only when matching loudness
  std::vector<float> held_;             // the converted samples, while matching loudness

  std::vector<float> input_;
  std::vector<float> mono_;       // only when mixing to mono
  std::vector<float> resampled_;  // only when resampling
  std::vector<float> spread_;     // only when spreading mono
  std::vector<std::uint8_t> bytes_;
};

}  // namespace

Result<ConversionReport> Convert(FloatSource& source, const PcmFormat& target,
                                 const PcmSink& sink, std::uint64_t maxBytes,
                                 std::optional<double> matchLufs) {
  const SourceInfo& info = source.Info();
  if (Status s = CheckTarget(target); !s) return s;
  if (Status s = CheckSourceInfo(info); !s) return s;
  if (Status s = CheckChannelChange(info.Channels, target.Channels); !s) return s;

  ConversionReport report;
  report.Resampled = info.RateHz != target.RateHz;
  report.Mixed = info.Channels != target.Channels;
  report.Dithered = target.Bits < info.Bits || report.Resampled || report.Mixed;

  std::optional<Resampler> resampler;
  if (report.Resampled) {
    auto created = Resampler::Create(info.RateHz, target.RateHz,
                                     std::min(info.Channels, target.Channels));
    if (!created) return created.status();
    resampler.emplace(std::move(*created));
  }
  std::optional<LoudnessMeter> meter;
  if (matchLufs) {
    auto created = LoudnessMeter::Create(target.RateHz, target.Channels);
    if (!created) return created.status();
    meter.emplace(std::move(*created));
  }
  Pipeline pipeline(info, target, std::move(resampler), report, sink, maxBytes, std::move(meter));
  if (Status s = pipeline.Run(source); !s) return s;
  if (matchLufs)
    if (Status s = pipeline.Finish(*matchLufs); !s) return s;
  return pipeline.Report();
}

}  // namespace Orvane::Audio
