#include <gtest/gtest.h>

#include "SoundPeaks.h"
#include "TestFiles.h"

namespace Orvane {
namespace {

using Test::AppendU16;
using Test::Bytes;

TEST(SoundPeaks, EightBitSilenceIsZero) {
  const auto peaks = ComputePeaks(Bytes(1000, 128), 8, 1);
  ASSERT_TRUE(peaks.ok()) << peaks.message();
  EXPECT_EQ(peaks->Levels[0].Min, std::vector<float>(4, 0.0f));
  EXPECT_EQ(peaks->Levels[0].Max, std::vector<float>(4, 0.0f));
}

TEST(SoundPeaks, FullScaleSquareAtTwoResolutions) {
  // Runs of 256 frames at the top and bottom, in the other order from frame 2048 on, so that
  // each 2048-frame block has its minimum and its maximum in different 256-frame blocks.
  Bytes s;
  for (int f = 0; f < 4096; ++f) AppendU16(s, (f / 256 + f / 2048) % 2 ? 0x8000 : 0x7FFF);
  const auto peaks = ComputePeaks(s, 16, 1);
  ASSERT_TRUE(peaks.ok()) << peaks.message();
  ASSERT_EQ(peaks->Levels.size(), 3u);  // 16 blocks of 256, 2 of 2048, 1 of 16384
  const PeakLevel& fine = peaks->LevelFor(300);
  EXPECT_EQ(fine.FramesPerBlock, 256u);
  EXPECT_NEAR(fine.Min[0], 1.0f, 1e-4);
  EXPECT_EQ(fine.Max[1], -1.0f);
  const PeakLevel& coarse = peaks->LevelFor(5000);
  EXPECT_EQ(coarse.FramesPerBlock, 2048u);
  EXPECT_EQ(coarse.Min, std::vector<float>(2, -1.0f));
  EXPECT_NEAR(coarse.Max[0], 1.0f, 1e-4);
  EXPECT_NEAR(coarse.Max[1], 1.0f, 1e-4);
}

TEST(SoundPeaks, StereoLanesStayApart) {
  Bytes s;  // 300 frames: two blocks per lane, left at +half, right at -half
  for (int f = 0; f < 300; ++f) AppendU16(s, 0x4000), AppendU16(s, 0xC000);
  const auto peaks = ComputePeaks(s, 16, 2);
  ASSERT_TRUE(peaks.ok()) << peaks.message();
  EXPECT_EQ(peaks->Levels[0].Min, (std::vector<float>{0.5f, 0.5f, -0.5f, -0.5f}));
  EXPECT_EQ(peaks->Levels[1].Max, (std::vector<float>{0.5f, -0.5f}));
}

TEST(SoundPeaks, TwentyFourBitSignExtends) {
  // -1 LSB, full scale negative, full scale positive
  const auto peaks = ComputePeaks(Bytes{0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F}, 24,
                                  1);
  ASSERT_TRUE(peaks.ok()) << peaks.message();
  EXPECT_EQ(peaks->Levels[0].Min[0], -1.0f);
  EXPECT_NEAR(peaks->Levels[0].Max[0], 1.0f, 1e-6);
}

TEST(SoundPeaks, PartialTrailingFrameIsIgnored) {
  const auto peaks = ComputePeaks(Bytes{0, 0, 0, 0, 0x00, 0x80, 0x00}, 16, 2);
  ASSERT_TRUE(peaks.ok()) << peaks.message();
  EXPECT_EQ(peaks->Frames, 1u);
  EXPECT_EQ(peaks->Levels[0].Min, (std::vector<float>{0.0f, 0.0f}));
  const auto empty = ComputePeaks(Bytes{0, 0, 0}, 16, 2);
  ASSERT_TRUE(empty.ok()) << empty.message();
  EXPECT_TRUE(empty->Levels.empty());
  EXPECT_EQ(empty->LevelFor(1).Blocks, 0u);
}

TEST(SoundPeaks, UnsupportedFormatsAreRefused) {
  EXPECT_EQ(ComputePeaks(Bytes(64), 12, 1).kind(), ErrorKind::Unsupported);
  EXPECT_EQ(ComputePeaks(Bytes(64), 16, 0).kind(), ErrorKind::Unsupported);
}

}  // namespace
}  // namespace Orvane
