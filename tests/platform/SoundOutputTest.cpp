#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
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
    std::uint32_t Rate;
    std::uint16_t Bits;
    std::uint16_t Channels;
    std::uint8_t Silence;
  };
  for (const Format f :
       {Format{22050, 16, 1, 0x00}, Format{11025, 8, 1, 0x80}, Format{32000, 16, 2, 0x00}}) {
    SCOPED_TRACE(testing::Message() << f.Rate << " Hz, " << f.Bits << "-bit, " << f.Channels);
    const Bytes samples = Samples(f.Rate / 10 * f.Channels * f.Bits / 8, f.Rate);  // 0.1 s
    ASSERT_EQ(PlaySoundImage(MakeWave(samples, f.Rate, f.Bits, f.Channels)).Outcome,
              PlayOutcome::Played);
    EXPECT_TRUE(IsSoundPlaying()) << "the play waited for the sound's end";
    WaitForSoundEnd();
    EXPECT_FALSE(IsSoundPlaying());

    // The device runs in the sound's own format, so nothing converts the samples.
    const Bytes output = Output();
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
  ASSERT_EQ(PlaySoundImage(MakeWave(first)).Outcome, PlayOutcome::Played);
  std::this_thread::sleep_for(150ms);  // long enough for a part of the first sound to play
  ASSERT_EQ(PlaySoundImage(MakeWave(second)).Outcome, PlayOutcome::Played);
  WaitForSoundEnd();

  const Bytes output = Output();
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
  SetDefaultSound([&] { ++defaultSounds; });
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
    ASSERT_EQ(PlaySoundImage(longSound).Outcome, PlayOutcome::Played);
    const int before = defaultSounds;
    const PlayResult result = PlaySoundImage(c.Image);
    EXPECT_EQ(result.Outcome, PlayOutcome::Refused);
    EXPECT_FALSE(result.Reason.empty());
    EXPECT_EQ(defaultSounds, before + 1);
    EXPECT_FALSE(IsSoundPlaying());
  }
}

TEST_F(SoundOutput, WithoutADeviceItSaysSoAndTheNextPlayTriesAgain) {
  SetEnvironment("SDL_AUDIODRIVER", "no-such-driver");
  const Bytes image = MakeWave(Samples(2000));
  const PlayResult result = PlaySoundImage(image);
  EXPECT_EQ(result.Outcome, PlayOutcome::NoDevice);
  EXPECT_NE(result.Reason.find("no audio device"), std::string::npos) << result.Reason;
  EXPECT_FALSE(IsSoundPlaying());
  WaitForSoundEnd();  // nothing to wait for

  SetEnvironment("SDL_AUDIODRIVER", "disk");
  EXPECT_EQ(PlaySoundImage(image).Outcome, PlayOutcome::Played);
}

TEST_F(SoundOutput, ASoundInAnotherFormatGetsADeviceInThatFormat) {
  ASSERT_EQ(PlaySoundImage(MakeWave(Seconds(1, 1))).Outcome, PlayOutcome::Played);
  const Bytes eightBit = Samples(1100, 5);
  ASSERT_EQ(PlaySoundImage(MakeWave(eightBit, 11025, 8, 1)).Outcome, PlayOutcome::Played);
  WaitForSoundEnd();

  const Bytes output = Output();
  const auto start = FindSound(output, eightBit);
  ASSERT_TRUE(start);
  EXPECT_TRUE(HoldsAt(output, *start, eightBit));
}

}  // namespace
}  // namespace Orvane::Test
