#include "Loudness.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "PcmDecoding.h"
#include "Text.h"

namespace Orvane::Audio {
namespace {

constexpr double kGateBlockSeconds = 0.4;  // below this a sound has no gating block
constexpr std::size_t kChunkFrames = 8192;

struct FreeState {
  void operator()(ebur128_state* st) const { ebur128_destroy(&st); }
};

}  // namespace

bool Levels::Silent() const { return std::isinf(PeakDbfs) && PeakDbfs < 0; }

struct LoudnessMeter::State {
  std::unique_ptr<ebur128_state, FreeState> Ebu;
  double RateHz = 0;
  unsigned Channels = 0;
  std::uint64_t Frames = 0;
  float Peak = 0;
};

LoudnessMeter::LoudnessMeter(std::unique_ptr<State> state) : state_(std::move(state)) {}
LoudnessMeter::LoudnessMeter(LoudnessMeter&&) noexcept = default;
LoudnessMeter& LoudnessMeter::operator=(LoudnessMeter&&) noexcept = default;
LoudnessMeter::~LoudnessMeter() = default;

Result<LoudnessMeter> LoudnessMeter::Create(double rateHz, unsigned channels) {
  // The measuring library's own bounds: it refuses rates below 16 Hz and more than 64 channels.
  if (!(rateHz >= 16 && rateHz <= 1e6) || channels < 1 || channels > 64)
    return Result<LoudnessMeter>::Error(
        ErrorKind::Unsupported,
        Str("loudness cannot be measured at ", rateHz, " Hz in ", channels, " channels"));
  auto state = std::make_unique<State>();
  // The filters are made for the rate rounded to whole hertz: a half hertz moves them by less
  // than anything that shows at a tenth of a dB.
  state->Ebu.reset(ebur128_init(channels, static_cast<unsigned long>(std::lround(rateHz)),
                                EBUR128_MODE_I | EBUR128_MODE_HISTOGRAM));
  if (!state->Ebu)
    return Result<LoudnessMeter>::Error(ErrorKind::TooLarge,
                                        "no memory for measuring loudness");
  state->RateHz = rateHz;
  state->Channels = channels;
  return LoudnessMeter(std::move(state));
}

Status LoudnessMeter::Add(std::span<const float> samples) {
  State& s = *state_;
  const std::size_t frames = samples.size() / s.Channels;
  float peak = s.Peak;
  for (const float x : samples) peak = std::max(peak, std::abs(x));
  s.Peak = peak;
  if (ebur128_add_frames_float(s.Ebu.get(), samples.data(), frames) != EBUR128_SUCCESS)
    return Status::Error(ErrorKind::TooLarge, "no memory for measuring loudness");
  s.Frames += frames;
  return Status::Ok();
}

Levels LoudnessMeter::Measured() const {
  const State& s = *state_;
  constexpr double kSilence = -std::numeric_limits<double>::infinity();
  if (s.Peak == 0) return {kSilence, kSilence};
  Levels levels{20 * std::log10(static_cast<double>(s.Peak)), kSilence};
  const double seconds = static_cast<double>(s.Frames) / s.RateHz;
  double lufs = kSilence;
  if (seconds >= kGateBlockSeconds) {
    ebur128_loudness_global(s.Ebu.get(), &lufs);
  } else {
    // Ungated over the whole sound: the window of its own length, which the meter's buffer
    // of one gating block still holds entirely.
    const auto ms = std::max<unsigned long>(1, static_cast<unsigned long>(seconds * 1000));
    ebur128_loudness_window(s.Ebu.get(), ms, &lufs);
  }
  levels.LoudnessLufs = lufs;
  return levels;
}

Result<Levels> MeasurePcm(std::span<const std::uint8_t> samples, const PcmFormat& format) {
  if (!IsPcmDepth(format.Bits))
    return Result<Levels>::Error(ErrorKind::Unsupported,
                                 Str("levels are measured for ", PcmDepthsText("and"), "-bit samples, not ",
                                     format.Bits, "-bit ones"));
  auto meter = LoudnessMeter::Create(format.RateHz, format.Channels);
  if (!meter) return meter.status();
  const std::size_t frameBytes = format.BytesPerFrame();
  const std::size_t frames = samples.size() / frameBytes;
  std::vector<float> chunk(std::min(frames, kChunkFrames) * format.Channels);
  for (std::size_t done = 0; done < frames;) {
    const std::size_t n = std::min(kChunkFrames, frames - done);
    const std::span<float> out(chunk.data(), n * format.Channels);
    DecodePcm(samples.subspan(done * frameBytes, n * frameBytes), format.Bits, false, out);
    if (Status added = meter->Add(out); !added) return added;
    done += n;
  }
  return meter->Measured();
}

}  // namespace Orvane::Audio
