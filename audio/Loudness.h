#pragma once
// A sound's sample peak and loudness: loudness after ITU-R BS.1770 (EBU R128), integrated and
// gated for sounds of 0.4 s and more, and for shorter sounds the ungated K-weighted loudness
// of the whole sound, at the sound's own rate. Silence is -inf for both.
#include <cstdint>
#include <memory>
#include <span>

#include "PcmFormat.h"
#include "Status.h"

namespace Orvane::Audio {

struct Levels {
  double PeakDbfs = 0;      // the largest sample, in dB of full scale
  double LoudnessLufs = 0;  // LUFS

  bool Silent() const;
};

// Measures float frames as they come, interleaved, nominally within [-1, 1].
class LoudnessMeter {
 public:
  // Fails (Unsupported) for a rate or channel count the measurement cannot take.
  static Result<LoudnessMeter> Create(double rateHz, unsigned channels);
  LoudnessMeter(LoudnessMeter&&) noexcept;
  LoudnessMeter& operator=(LoudnessMeter&&) noexcept;
  ~LoudnessMeter();

  // `samples` holds whole frames.
  Status Add(std::span<const float> samples);
  // The peak and loudness of everything added.
  Levels Measured() const;

 private:
  struct State;
  explicit LoudnessMeter(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// The levels of PCM samples as a bank stores them (whole frames of `format`; a partial frame at
// the end is left out).
Result<Levels> MeasurePcm(std::span<const std::uint8_t> samples, const PcmFormat& format);

}  // namespace Orvane::Audio
