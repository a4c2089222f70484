#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "DiskAudio.h"
#include "SoundOutput.h"

namespace Orvane::Test {
namespace {

using namespace std::chrono_literals;

// `seconds` of 16-bit mono samples at 22,050 Hz, the format MakeWave writes by default.
Bytes Seconds(double seconds, std::uint32_t seed) {
  return Samples(static_cast<std::size_t>(seconds * 22050) * 2, seed);
}

bool Silent(const Bytes& output, std::size_t from, std::size_t to, std::uint8_t silence) {
  return std::all_of(output.begin() + static_cast<std::ptrdiff_t>(from),
                     output.begin() + static_cast<std::ptrdiff_t>(to),
                     [&](std::uint8_t b) { return b == silence; });
}

using SoundOutput = DiskAudioTest;

TEST_F(SoundOutput, PlaysOnceInTheBackgroundWithItsSamplesUnchanged) {
  struct Format {
    std::uint32_t RateHz;
    std::uint16_t Bits;
    std::uint16_t Channels;
    std::uint8_t Silence;
  };
  for (const Format f :
       {Format{22050, 16, 1, 0x00}, Format{11025, 8, 1, 0x80}, Format{32000, 16, 2, 0x00}}) {
    SCOPED_TRACE(testing::Message() << f.RateHz << " Hz, " << f.Bits << "-bit, " << f.Channels);
    const Bytes samples = Samples(f.RateHz / 10 * f.Channels * f.Bits / 8, f.RateHz);  // 0.1 s
    ASSERT_TRUE(Output().Play(MakeWave(samples, f.RateHz, f.Bits, f.Channels)));
    EXPECT_TRUE(Output().IsPlaying()) << "the play waited for the sound's end";
    Output().WaitForEnd();
    EXPECT_FALSE(Output().IsPlaying());

    // The device runs in the sound's own format, so nothing converts the samples.
    const Bytes output = Written();
    const auto start = FindSound(output, samples);
    ASSERT_TRUE(start);
    EXPECT_TRUE(Silent(output, 0, *start, f.Silence));
    EXPECT_TRUE(HoldsAt(output, *start, samples));
    EXPECT_TRUE(Silent(output, *start + samples.size(), output.size(), f.Silence))
        << "the sound played more than once";
  }
}

TEST_F(SoundOutput, ANewPlayStopsTheSoundStillPlaying) {
  const Bytes first = Seconds(2, 1);
  const Bytes second = Seconds(0.1, 2);
  ASSERT_TRUE(Output().Play(MakeWave(first)));
  std::this_thread::sleep_for(150ms);  // long enough for a part of the first sound to play
  ASSERT_TRUE(Output().Play(MakeWave(second)));
  Output().WaitForEnd();

  const Bytes output = Written();
  const auto firstStart = FindSound(output, first);
  const auto secondStart = FindSound(output, second);
  ASSERT_TRUE(firstStart && secondStart);
  ASSERT_LT(*firstStart, *secondStart);
  const Bytes partOfFirst(first.begin(),
                          first.begin() + static_cast<std::ptrdiff_t>(*secondStart - *firstStart));
  EXPECT_LT(partOfFirst.size(), first.size() / 2);
  EXPECT_TRUE(HoldsAt(output, *firstStart, partOfFirst));
  EXPECT_TRUE(HoldsAt(output, *secondStart, second));
}

TEST_F(SoundOutput, ASoundItCannotPlaySoundsTheDefaultSoundAndStopsTheOneBefore) {
  int defaultSounds = 0;
  defaultSound_ = [&] { ++defaultSounds; };
  const Bytes samples = Samples(1000);
  const struct {
    const char* What;
    Bytes Image;
  } refused[] = {
      {"4-bit samples", MakeWave(samples, 22050, 4, 1)},
      {"no channels", MakeWave(samples, 22050, 16, 0)},
      {"9 channels", MakeWave(Samples(9 * 2 * 50), 22050, 16, 9)},
      {"a rate of 1 Hz", MakeWave(samples, 1, 16, 1)},
      {"no WAVE header", samples},
  };
  const Bytes longSound = MakeWave(Seconds(2, 7));
  for (const auto& c : refused) {
    SCOPED_TRACE(c.What);
    ASSERT_TRUE(Output().Play(longSound));
    const int before = defaultSounds;
    const Status result = Output().Play(c.Image);
    EXPECT_EQ(result.kind(), ErrorKind::Unsupported);
    EXPECT_FALSE(result.message().empty());
    EXPECT_EQ(defaultSounds, before + 1);
    EXPECT_FALSE(Output().IsPlaying());
  }
}

TEST_F(SoundOutput, WithoutADeviceItSaysSoAndTheNextPlayTriesAgain) {
  SetEnvironment("SDL_AUDIODRIVER", "no-such-driver");
  const Bytes image = MakeWave(Samples(2000));
  const Status result = Output().Play(image);
  EXPECT_EQ(result.kind(), ErrorKind::NoDevice) << result.message();
  EXPECT_FALSE(Output().IsPlaying());
  Output().WaitForEnd();  // nothing to wait for

  SetEnvironment("SDL_AUDIODRIVER", "disk");
  EXPECT_TRUE(Output().Play(image));
}

// The disk driver starts its file afresh whenever a device opens, so finding the first sound in
// it shows the device stayed open.
TEST_F(SoundOutput, ASoundInAnotherFormatIsConvertedToTheOpenDevicesFormat) {
  const Bytes first = Seconds(1, 1);
  ASSERT_TRUE(Output().Play(MakeWave(first)));
  std::this_thread::sleep_for(150ms);
  // 8-bit at the same rate: each sample becomes exactly (v - 128) * 256.
  const Bytes eightBit = Samples(2205, 5);
  Bytes widened;
  for (const std::uint8_t v : eightBit) {
    const auto sample = static_cast<std::uint16_t>((v - 128) * 256);
    widened.push_back(static_cast<std::uint8_t>(sample));
    widened.push_back(static_cast<std::uint8_t>(sample >> 8));
  }
  ASSERT_TRUE(Output().Play(MakeWave(eightBit, 22050, 8, 1)));
  Output().WaitForEnd();
  // Half the rate, a constant level: resampled, the level kept.
  Bytes level;
  for (int i = 0; i < 2205; ++i) level.insert(level.end(), {0x70, 0x17});  // 6000
  ASSERT_TRUE(Output().Play(MakeWave(level, 11025, 16, 1)));
  Output().WaitForEnd();

  const Bytes output = Written();
  const auto firstStart = FindSound(output, first);
  ASSERT_TRUE(firstStart) << "the device was reopened";
  EXPECT_TRUE(HoldsAt(output, *firstStart, Bytes(first.begin(), first.begin() + 2000)));
  const auto start = FindSound(output, widened);
  ASSERT_TRUE(start);
  EXPECT_TRUE(HoldsAt(output, *start, widened));
  std::size_t kept = 0;  // samples of the level, give or take the dither, in the output
  for (std::size_t i = *start + widened.size(); i + 1 < output.size(); i += 2)
    kept += std::abs(static_cast<std::int16_t>(output[i] | output[i + 1] << 8) - 6000) <= 2;
  EXPECT_GT(kept, 4410 * 9 / 10);
  EXPECT_LE(kept, 4410);
}

// A stereo sound on a mono device would lose a channel: the device reopens in a format that
// holds both, so the mono sound that follows is spread over both channels, not reopened for.
TEST_F(SoundOutput, ADeviceReopensWideEnoughForBothFormats) {
  const Bytes mono = Seconds(0.1, 1);
  ASSERT_TRUE(Output().Play(MakeWave(mono)));
  ASSERT_TRUE(Output().Play(MakeWave(Samples(2205, 2), 11025, 8, 2)));
  Output().WaitForEnd();
  ASSERT_TRUE(Output().Play(MakeWave(mono)));
  Output().WaitForEnd();

  Bytes spread;
  for (std::size_t i = 0; i + 1 < mono.size(); i += 2)
    spread.insert(spread.end(), {mono[i], mono[i + 1], mono[i], mono[i + 1]});
  const Bytes output = Written();
  EXPECT_FALSE(FindSound(output, mono)) << "the device stayed mono";
  const auto start = FindSound(output, spread);
  ASSERT_TRUE(start) << "the mono sound did not reach a 16-bit stereo device at its rate";
  EXPECT_TRUE(HoldsAt(output, *start, spread));
}

TEST_F(SoundOutput, WithoutAConverterASoundInAnotherFormatGetsADeviceInThatFormat) {
  WithoutConverter();
  ASSERT_TRUE(Output().Play(MakeWave(Seconds(1, 1))));
  const Bytes eightBit = Samples(1100, 5);
  ASSERT_TRUE(Output().Play(MakeWave(eightBit, 11025, 8, 1)));
  Output().WaitForEnd();

  const Bytes output = Written();
  const auto start = FindSound(output, eightBit);
  ASSERT_TRUE(start);
  EXPECT_TRUE(HoldsAt(output, *start, eightBit));
}

TEST_F(SoundOutput, ThePlayPositionCountsTheSoundsOwnFramesUntilItEndsOrStops) {
  EXPECT_FALSE(Output().Position());
  ASSERT_TRUE(Output().Play(MakeWave(Seconds(1, 1))));
  const auto start = Output().Position();
  ASSERT_TRUE(start);
  EXPECT_EQ(start->Frames, 22050u);
  EXPECT_EQ(start->RateHz, 22050u);
  std::this_thread::sleep_for(300ms);
  const auto later = Output().Position();
  ASSERT_TRUE(later);
  EXPECT_GT(later->FramesPlayed, start->FramesPlayed);
  EXPECT_LT(later->FramesPlayed, later->Frames);

  // Converted for a device at twice its rate, a sound still counts in its own frames.
  ASSERT_TRUE(Output().Play(MakeWave(Samples(5512, 2), 11025, 8, 1)));
  std::this_thread::sleep_for(250ms);
  const auto converted = Output().Position();
  ASSERT_TRUE(converted);
  EXPECT_EQ(converted->Frames, 5512u);
  EXPECT_EQ(converted->RateHz, 11025u);
  EXPECT_GT(converted->FramesPlayed, 1000u);
  EXPECT_LT(converted->FramesPlayed, 5000u);
  Output().WaitForEnd();
  EXPECT_FALSE(Output().Position());

  ASSERT_TRUE(Output().Play(MakeWave(Seconds(1, 3))));
  Output().Stop();
  EXPECT_FALSE(Output().Position());
}

}  // namespace
}  // namespace Orvane::Test
