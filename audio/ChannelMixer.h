#pragma once
// The channel changes conversion makes: many channels mixed to mono, mono spread to many; and
// the one playback makes, a sound spread over a device's more channels.
#include <span>

namespace Orvane::Audio {

// Each frame of `frames` (`channels` interleaved samples) becomes its mean in `mono`, which
// holds one sample per frame.
void MixToMono(std::span<const float> frames, unsigned channels, std::span<float> mono);

// Each sample of `mono` is repeated `channels` times in `frames`, which holds
// mono.size() * channels samples.
void SpreadMono(std::span<const float> mono, unsigned channels, std::span<float> frames);

// Frames of `from` channels to as many of `to` (no fewer), channel c repeating channel
// c mod from: mono in every channel, stereo as left, right, left, right, ...
void SpreadChannels(std::span<const float> in, unsigned from, std::span<float> out, unsigned to);

}  // namespace Orvane::Audio
