#pragma once
// A stream of interleaved float frames brought from one rate to another by libsoxr, float in
// and float out so that it never quantises (its integer output would dither on its own).
#include <cstddef>
#include <memory>
#include <span>

#include "Status.h"

struct soxr;  // libsoxr's handle; its header stays in Resampler.cpp

namespace Orvane::Audio {

class Resampler {
 public:
  // Fails (Unsupported, saying why) for rates more than 1024 times apart or that libsoxr
  // refuses.
  static Result<Resampler> Create(double fromRate, double toRate, unsigned channels);

  struct Step {
    std::size_t Consumed = 0;  // input frames taken; at least one while input remains
    std::size_t Produced = 0;  // output frames written
  };
  // Takes as much of `input` as `output` has room for and writes what is ready. Call again
  // with the rest of the input until all is consumed.
  Result<Step> Process(std::span<const float> input, std::span<float> output);
  // After the last input: writes what the filter still holds; 0 once it is empty.
  Result<std::size_t> Flush(std::span<float> output);

 private:
  struct Deleter {
    void operator()(soxr* handle) const;
  };
  Resampler(soxr* handle, unsigned channels) : handle_(handle), channels_(channels) {}
  Result<Step> Run(const float* input, std::size_t inputFrames, std::span<float> output);

  std::unique_ptr<soxr, Deleter> handle_;
  unsigned channels_;
};

}  // namespace Orvane::Audio
