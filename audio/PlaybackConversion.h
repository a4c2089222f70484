#pragma once
// The sound output's converter (SetSoundConverter): a sound in memory brought to the format a
// playing device was opened in, a device buffer at a time, so that a play starts at once
// whatever the sound's length. libsoxr float to float between rates, then the sound's channels
// spread over the device's (SpreadChannels), then the device's samples: floats as they are,
// integers clipped, TPDF-dithered when precision is lost (as Converter.h does) and rounded.
#include <cstdint>
#include <memory>
#include <span>

#include "SoundConversion.h"

namespace Orvane::Audio {

// Nothing for a format PcmDecoding.h does not read, no channels or rate, a device of fewer
// channels than the sound's, or rates libsoxr cannot bring together.
std::unique_ptr<SoundConversion> ConvertForPlayback(std::span<const std::uint8_t> samples,
                                                    const SampleFormat& from,
                                                    const SampleFormat& to);

}  // namespace Orvane::Audio
