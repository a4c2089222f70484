#include "ChannelMixer.h"

#include <cassert>
#include <cstddef>

#include "Converter.h"
#include "Text.h"

namespace Orvane::Audio {

Status CheckChannelChange(unsigned from, unsigned to) {
  if (from == to || from == 1 || to == 1) return Status::Ok();
  return Status::Error(ErrorKind::Unsupported,
                       Str("cannot turn ", from, " channels into ", to,
                           ": only mixing to mono or spreading mono is done"));
}

void MixToMono(std::span<const float> frames, unsigned channels, std::span<float> mono) {
  assert(frames.size() == mono.size() * channels);
  const float* in = frames.data();
  if (channels == 2) {  // by far the most common case: let the compiler vectorise it
    for (std::size_t i = 0; i < mono.size(); ++i) mono[i] = (in[2 * i] + in[2 * i + 1]) * 0.5f;
    return;
  }
  const float scale = 1.0f / static_cast<float>(channels);
  for (std::size_t i = 0; i < mono.size(); ++i, in += channels) {
    float sum = 0;
    for (unsigned c = 0; c < channels; ++c) sum += in[c];
    mono[i] = sum * scale;
  }
}

void SpreadMono(std::span<const float> mono, unsigned channels, std::span<float> frames) {
  assert(frames.size() == mono.size() * channels);
  float* out = frames.data();
  for (const float sample : mono)
    for (unsigned c = 0; c < channels; ++c) *out++ = sample;
}

void SpreadChannels(std::span<const float> in, unsigned from, std::span<float> out, unsigned to) {
  assert(from <= to && in.size() / from * to == out.size());
  if (from == 1) return SpreadMono(in, to, out);
  const float* x = in.data();
  for (float* y = out.data(); y != out.data() + out.size(); y += to, x += from)
    for (unsigned c = 0; c < to; ++c) y[c] = x[c % from];
}

}  // namespace Orvane::Audio
