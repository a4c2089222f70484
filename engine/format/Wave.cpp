#include "Wave.h"

#include <cstring>

#include "ByteOrder.h"
#include "SoundFormat.h"

namespace Orvane {

WAVE WAVE::FromEntry(const TbSoundEntry& entry) {
  WAVE w;
  // 32-bit unsigned arithmetic throughout, as every reader of these files expects.
  w.RiffSize = entry.DataSize + 36u;
  w.FormatTag = 1;
  w.NumChannels = entry.NumChannels;
  w.SampleRateHz = WholeHzOfStoredRate(entry.SampleRate);
  w.ByteRate = w.SampleRateHz * entry.NumChannels * entry.BitsPerSample / 8u;
  w.BlockAlign = static_cast<std::uint16_t>(entry.NumChannels * entry.BitsPerSample / 8u);
  w.BitsPerSample = entry.BitsPerSample;
  w.DataSize = entry.DataSize;
  return w;
}

std::array<std::uint8_t, WAVE::kSize> WAVE::Encode() const {
  std::array<std::uint8_t, kSize> b{};
  std::memcpy(&b[0], "RIFF", 4);
  StoreU32(&b[4], RiffSize);
  std::memcpy(&b[8], "WAVE", 4);
  std::memcpy(&b[12], "fmt ", 4);
  StoreU32(&b[16], 16);
  StoreU16(&b[20], FormatTag);
  StoreU16(&b[22], NumChannels);
  StoreU32(&b[24], SampleRateHz);
  StoreU32(&b[28], ByteRate);
  StoreU16(&b[32], BlockAlign);
  StoreU16(&b[34], BitsPerSample);
  std::memcpy(&b[36], "data", 4);
  StoreU32(&b[40], DataSize);
  return b;
}

}  // namespace Orvane
