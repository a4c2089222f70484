#include "Resampler.h"

#include <soxr.h>

#include <cassert>

#include "Text.h"

namespace Orvane::Audio {
namespace {

// libsoxr takes minutes to build its filter for a ratio near a million; real rates are never
// that far apart.
constexpr double kMaxRatio = 1024;

}  // namespace

void Resampler::Deleter::operator()(soxr* handle) const { soxr_delete(handle); }

Result<Resampler> Resampler::Create(double fromRate, double toRate, unsigned channels) {
  if (!(toRate <= fromRate * kMaxRatio && fromRate <= toRate * kMaxRatio))
    return Result<Resampler>::Error(
        ErrorKind::Unsupported, Str("cannot resample from ", fromRate, " Hz to ", toRate,
                                    " Hz: the rates are more than ", kMaxRatio, " times apart"));
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  // One thread: conversions of several files run side by side already.
  const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
  soxr_error_t error = nullptr;
  soxr* handle = soxr_create(fromRate, toRate, channels, &error, &io, &quality, &runtime);
  if (error) {
    soxr_delete(handle);
    return Result<Resampler>::Error(
        ErrorKind::Unsupported,
        Str("cannot resample from ", fromRate, " Hz to ", toRate, " Hz: ", error));
  }
  return Resampler(handle, channels);
}

Result<Resampler::Step> Resampler::Run(const float* input, std::size_t inputFrames,
                                       std::span<float> output) {
  assert(output.size() % channels_ == 0);
  std::size_t consumed = 0;
  std::size_t produced = 0;
  if (soxr_error_t error = soxr_process(handle_.get(), input, inputFrames, &consumed,
                                        output.data(), output.size() / channels_, &produced))
    return Result<Step>::Error(ErrorKind::Failed, Str("resampling failed: ", error));
  return Step{consumed, produced};
}

Result<Resampler::Step> Resampler::Process(std::span<const float> input,
                                           std::span<float> output) {
  assert(input.size() % channels_ == 0);
  return Run(input.data(), input.size() / channels_, output);
}

Result<std::size_t> Resampler::Flush(std::span<float> output) {
  // No input at all tells libsoxr the sound has ended.
  auto step = Run(nullptr, 0, output);
  if (!step) return step.status();
  return step->Produced;
}

}  // namespace Orvane::Audio
