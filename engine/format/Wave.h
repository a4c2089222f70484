#pragma once
// The canonical 44-byte header of a PCM WAVE file: RIFF, a 16-byte "fmt " chunk, then "data".
#include <array>
#include <cstddef>
#include <cstdint>

#include "TbSoundEntry.h"

namespace Orvane {

struct WAVE {
  static constexpr std::size_t kSize = 44;

  std::uint32_t RiffSize = 0;  // the whole length less 8
  std::uint16_t FormatTag = 1;
  std::uint16_t NumChannels = 0;
  std::uint32_t SampleRateHz = 0;
  std::uint32_t ByteRate = 0;
  std::uint16_t BlockAlign = 0;
  std::uint16_t BitsPerSample = 0;
  std::uint32_t DataSize = 0;

  // The header that export writes and playback plays in front of the entry's sample data.
  // It takes no field as invalid: the bytes are the bank's, unconverted.
  static WAVE FromEntry(const TbSoundEntry& entry);

  std::array<std::uint8_t, kSize> Encode() const;
};

}  // namespace Orvane
