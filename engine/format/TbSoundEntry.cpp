#include "TbSoundEntry.h"

#include <algorithm>
#include <cstring>

#include "ByteOrder.h"

namespace Orvane {

TbSoundEntry TbSoundEntry::Decode(std::span<const std::uint8_t, kSize> b) {
  TbSoundEntry e;
  e.HeaderSize = LoadU32(&b[0]);
  e.DataSize = LoadU32(&b[4]);
  std::copy_n(&b[8], kNameSize, e.Name.begin());
  e.SampleRate = LoadU16(&b[24]);
  e.BitsPerSample = b[26];
  e.NumChannels = b[27];
  e.Unknown = LoadU32(&b[28]);
  e.LoopStart = LoadU32(&b[32]);
  e.LoopEnd = LoadU32(&b[36]);
  return e;
}

void TbSoundEntry::Encode(std::span<std::uint8_t, kSize> b) const {
  StoreU32(&b[0], HeaderSize);
  StoreU32(&b[4], DataSize);
  std::copy(Name.begin(), Name.end(), &b[8]);
  StoreU16(&b[24], SampleRate);
  b[26] = BitsPerSample;
  b[27] = NumChannels;
  StoreU32(&b[28], Unknown);
  StoreU32(&b[32], LoopStart);
  StoreU32(&b[36], LoopEnd);
}

std::string TbSoundEntry::NameBytes() const {
  const auto end = std::find(Name.begin(), Name.end(), std::uint8_t{0});
  return std::string(Name.begin(), end);
}

void TbSoundEntry::SetName(std::string_view bytes) {
  Name.fill(0);
  std::memcpy(Name.data(), bytes.data(), std::min(bytes.size(), kNameSize));
}

}  // namespace Orvane
