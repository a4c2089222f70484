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
  EXPECT_EQ(peaks->Levels[0].Min, std::vector<float>(63, 0.0f));  // 1000 frames in 16s
  EXPECT_EQ(peaks->Levels[0].Max, std::vector<float>(63, 0.0f));
}

// Runs of `run` frames at the top and bottom, in the other order after 8 runs, so that each
// block of 8 runs has its minimum and its maximum in different runs.
void FullScaleSquareAtTwoResolutions(std::uint32_t run, int frames) {
  Bytes s;
  for (int f = 0; f < frames; ++f) AppendU16(s, (f / run + f / (8 * run)) % 2 ? 0x8000 : 0x7FFF);
  const auto peaks = ComputePeaks(s, 16, 1);
  ASSERT_TRUE(peaks.ok()) << peaks.message();
  const PeakLevel& fine = peaks->LevelFor(run + 1);
  EXPECT_EQ(fine.FramesPerBlock, run);
  EXPECT_NEAR(fine.Min[0], 1.0f, 1e-4);
  EXPECT_EQ(fine.Max[1], -1.0f);
  const PeakLevel& coarse = peaks->LevelFor(8 * run + 1);
  EXPECT_EQ(coarse.FramesPerBlock, 8 * run);
  EXPECT_EQ(coarse.Min[0], -1.0f);
  EXPECT_EQ(coarse.Min[1], -1.0f);
  EXPECT_NEAR(coarse.Max[0], 1.0f, 1e-4);
  EXPECT_NEAR(coarse.Max[1], 1.0f, 1e-4);
}

TEST(SoundPeaks, FullScaleSquareAtTwoResolutions) {
  {
    SCOPED_TRACE("short: blocks of 16 frames");
    FullScaleSquareAtTwoResolutions(16, 256);
  }
  {
    SCOPED_TRACE("long: blocks of 256 frames");
    FullScaleSquareAtTwoResolutions(256, (1 << 20) + 1);
  }
}

TEST(SoundPeaks, StereoLanesStayApart) {
  Bytes s;  // 30 frames: two blocks per lane, left at +half, right at -half
  for (int f = 0; f < 30; ++f) AppendU16(s, 0x4000), AppendU16(s, 0xC000);
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
