#include <gtest/gtest.h>

#include "ByteOrder.h"
#include "Wave.h"

namespace Orvane {
namespace {

TbSoundEntry Entry(std::uint16_t rate, std::uint8_t bits, std::uint8_t channels,
                   std::uint32_t dataSize) {
  TbSoundEntry e;
  e.HeaderSize = 40;
  e.DataSize = dataSize;
  e.SampleRate = rate;
  e.BitsPerSample = bits;
  e.NumChannels = channels;
  return e;
}

TEST(WaveHeader, SixteenBitMonoIsTheCanonicalLayout) {
  const auto b = WAVE::FromEntry(Entry(44100, 16, 1, 1000)).Encode();
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(LoadU32(&b[4]), 1036u);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(LoadU32(&b[16]), 16u);
  EXPECT_EQ(LoadU16(&b[20]), 1u);
  EXPECT_EQ(LoadU16(&b[22]), 1u);
  EXPECT_EQ(LoadU32(&b[24]), 22050u);
  EXPECT_EQ(LoadU32(&b[28]), 44100u);
  EXPECT_EQ(LoadU16(&b[32]), 2u);
  EXPECT_EQ(LoadU16(&b[34]), 16u);
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
  EXPECT_EQ(LoadU32(&b[40]), 1000u);
}

TEST(WaveHeader, RatesAndAlignmentFollowTheEntry) {
  struct Case { std::uint16_t rate; std::uint8_t bits, channels; std::uint32_t hz, byteRate; std::uint16_t align; };
  const Case cases[] = {
      {44100, 8, 1, 22050, 22050, 1},   // 8-bit mono
      {44100, 16, 2, 22050, 88200, 4},  // stereo
      {44101, 16, 1, 22050, 44100, 2},  // odd stored rate drops its last bit
      {44100, 4, 1, 22050, 11025, 0},   // bit depths below a byte truncate
  };
  for (const Case& c : cases) {
    const WAVE w = WAVE::FromEntry(Entry(c.rate, c.bits, c.channels, 10));
    EXPECT_EQ(w.SampleRateHz, c.hz) << int(c.bits) << " bits";
    EXPECT_EQ(w.ByteRate, c.byteRate) << int(c.bits) << " bits";
    EXPECT_EQ(w.BlockAlign, c.align) << int(c.bits) << " bits";
  }
}

TEST(WaveHeader, EmptyAndHugeDataSizesWrapIn32Bits) {
  EXPECT_EQ(WAVE::FromEntry(Entry(44100, 16, 1, 0)).RiffSize, 36u);
  EXPECT_EQ(WAVE::FromEntry(Entry(44100, 16, 1, 0xFFFFFFFF)).RiffSize, 35u);
  // 255 channels of 255 bits at the top rate: the byte rate wraps rather than overflowing.
  const WAVE w = WAVE::FromEntry(Entry(0xFFFF, 255, 255, 1));
  EXPECT_EQ(w.SampleRateHz, 32767u);
  EXPECT_EQ(w.ByteRate, 32767u * 255u * 255u / 8u);
}

}  // namespace
}  // namespace Orvane
