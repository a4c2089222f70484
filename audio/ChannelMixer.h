#pragma once
// The channel changes conversion makes: many channels mixed to mono, mono spread to many.
#include <span>

namespace Orvane::Audio {

// Each frame of `frames` (`channels` interleaved samples) becomes its mean in `mono`, which
// holds one sample per frame.
void MixToMono(std::span<const float> frames, unsigned channels, std::span<float> mono);

// Each sample of `mono` is repeated `channels` times in `frames`, which holds
// mono.size() * channels samples.
void SpreadMono(std::span<const float> mono, unsigned channels, std::span<float> frames);

}  // namespace Orvane::Audio
