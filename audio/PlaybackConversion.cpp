#include "PlaybackConversion.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <optional>
#include <utility>
#include <vector>

#include "ByteOrder.h"
#include "ChannelMixer.h"
#include "FloatSource.h"
#include "PcmDecoding.h"
#include "Quantiser.h"
#include "Resampler.h"

namespace Orvane::Audio {
namespace {

// About what a device asks for at once: each piece converts in well under a millisecond.
constexpr std::size_t kChunkFrames = 1024;

bool Convertible(const SampleFormat& format) {
  return IsDecodablePcm(format.Bits, format.Float) && format.Channels >= 1 &&
         format.Channels <= kMaxSourceChannels && format.RateHz > 0;
}

class PlaybackConversion final : public SoundConversion {
 public:
  // Channels are spread after resampling, so that libsoxr filters the sound's own.
  PlaybackConversion(std::span<const std::uint8_t> samples, const SampleFormat& from,
                     const SampleFormat& to, std::optional<Resampler> resampler)
      : samples_(samples.first(samples.size() / from.BytesPerFrame() * from.BytesPerFrame())),
        from_(from),
        to_(to),
        resampler_(std::move(resampler)),
        decoded_(kChunkFrames * from.Channels) {
    if (!to.Float) {
      const bool dither = to.Bits < from.Bits || from.Float || resampler_;
      quantiser_.emplace(to.Bits, dither);
    }
    if (resampler_) resampled_.resize(kChunkFrames * from.Channels);
    if (from.Channels < to.Channels) spread_.resize(kChunkFrames * to.Channels);
  }

  std::size_t Read(std::span<std::uint8_t> out) override {
    const std::size_t frameBytes = to_.BytesPerFrame();
    std::size_t written = 0;
    while (out.size() - written >= frameBytes) {
      if (ready_.empty() && !Refill()) break;
      const std::size_t frames =
          std::min(ready_.size() / from_.Channels, (out.size() - written) / frameBytes);
      Deliver(ready_.first(frames * from_.Channels), out.subspan(written, frames * frameBytes));
      ready_ = ready_.subspan(frames * from_.Channels);
      written += frames * frameBytes;
    }
    return written;
  }

 private:
  // The next piece of the sound; empty at its end.
  std::span<const float> DecodeNext() {
    const std::size_t frameBytes = from_.BytesPerFrame();
    const std::size_t frames = std::min(kChunkFrames, (samples_.size() - position_) / frameBytes);
    if (frames == 0) return {};
    const auto decoded = std::span(decoded_).first(frames * from_.Channels);
    DecodePcm(samples_.subspan(position_, frames * frameBytes), from_.Bits, from_.Float, decoded);
    position_ += frames * frameBytes;
    return decoded;
  }

  // Makes the next frames ready; false once the sound has ended. A failing libsoxr ends it too:
  // the audio thread has no one to tell.
  bool Refill() {
    if (!resampler_) {
      ready_ = DecodeNext();
      return !ready_.empty();
    }
    for (;;) {  // the filter takes in a while before it gives out
      if (pending_.empty()) pending_ = DecodeNext();
      if (pending_.empty()) {
        const auto flushed = resampler_->Flush(resampled_);
        const std::size_t frames = flushed ? *flushed : 0;
        ready_ = std::span<const float>(resampled_).first(frames * from_.Channels);
        return frames > 0;
      }
      const auto step = resampler_->Process(pending_, resampled_);
      if (!step) return false;
      pending_ = pending_.subspan(step->Consumed * from_.Channels);
      if (step->Produced > 0) {
        ready_ = std::span<const float>(resampled_).first(step->Produced * from_.Channels);
        return true;
      }
    }
  }

  void Deliver(std::span<const float> frames, std::span<std::uint8_t> out) {
    std::span<const float> samples = frames;
    if (!spread_.empty()) {
      const auto spread = std::span(spread_).first(frames.size() / from_.Channels * to_.Channels);
      SpreadChannels(frames, from_.Channels, spread, to_.Channels);
      samples = spread;
    }
    if (quantiser_) {
      quantiser_->Encode(samples, out);
      return;
    }
    std::uint8_t* p = out.data();
    for (const float x : samples) {
      StoreU32(p, std::bit_cast<std::uint32_t>(x));
      p += 4;
    }
  }

  const std::span<const std::uint8_t> samples_;
  const SampleFormat from_;
  const SampleFormat to_;
  std::optional<Resampler> resampler_;
  std::optional<Quantiser> quantiser_;  // none for a float device
  std::size_t position_ = 0;            // in samples_

  std::vector<float> decoded_;
  std::vector<float> resampled_;  // only when resampling
  std::vector<float> spread_;     // only when spreading
  std::span<const float> pending_;  // decoded, not yet resampled
  std::span<const float> ready_;    // in the sound's channels, not yet delivered
};

}  // namespace

std::unique_ptr<SoundConversion> ConvertForPlayback(std::span<const std::uint8_t> samples,
                                                    const SampleFormat& from,
                                                    const SampleFormat& to) {
  if (!Convertible(from) || !Convertible(to) || from.Channels > to.Channels) return nullptr;
  std::optional<Resampler> resampler;
  if (from.RateHz != to.RateHz) {
    auto created = Resampler::Create(from.RateHz, to.RateHz, std::min(from.Channels, to.Channels));
    if (!created) return nullptr;
    resampler.emplace(std::move(*created));
  }
  return std::make_unique<PlaybackConversion>(samples, from, to, std::move(resampler));
}

}  // namespace Orvane::Audio
