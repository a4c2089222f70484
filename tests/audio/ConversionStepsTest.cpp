// The steps of conversion on their own: the channel mixer and the resampler.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "ChannelMixer.h"
#include "Resampler.h"

namespace Orvane::Audio {
namespace {

TEST(ChannelMixer, MixesToTheMeanSpreadsMonoAndRepeatsChannelsInTurn) {
  const std::vector<float> stereo = {1.0f, 0.5f, -1.0f, 0.0f};
  std::vector<float> mono(2);
  MixToMono(stereo, 2, mono);
  EXPECT_EQ(mono, (std::vector<float>{0.75f, -0.5f}));

  std::vector<float> three(6);
  SpreadMono(mono, 3, three);
  EXPECT_EQ(three, (std::vector<float>{0.75f, 0.75f, 0.75f, -0.5f, -0.5f, -0.5f}));

  std::vector<float> quad(8);
  SpreadChannels(stereo, 2, quad, 4);
  EXPECT_EQ(quad, (std::vector<float>{1.0f, 0.5f, 1.0f, 0.5f, -1.0f, 0.0f, -1.0f, 0.0f}));
}

// Half the rate: half the frames, the same tone, however the input is handed in.
TEST(Resampler, GivesTheNewRatesLengthAndPitchInAnyChunks) {
  constexpr double kFrom = 44100, kTo = 22050, kTone = 1000;
  std::vector<float> input(44100);
  for (std::size_t i = 0; i < input.size(); ++i)
    input[i] = static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * kTone * i / kFrom));
  for (const std::size_t chunk : {std::size_t{997}, std::size_t{44100}}) {
    SCOPED_TRACE(chunk);
    auto resampler = Resampler::Create(kFrom, kTo, 1);
    ASSERT_TRUE(resampler) << resampler.message();
    std::vector<float> output, room(4096);
    for (std::size_t at = 0; at < input.size();) {
      const std::span<const float> piece(input.data() + at, std::min(chunk, input.size() - at));
      auto step = resampler->Process(piece, room);
      ASSERT_TRUE(step) << step.message();
      output.insert(output.end(), room.begin(), room.begin() + static_cast<std::ptrdiff_t>(step->Produced));
      at += step->Consumed;
    }
    for (;;) {
      auto flushed = resampler->Flush(room);
      ASSERT_TRUE(flushed);
      if (*flushed == 0) break;
      output.insert(output.end(), room.begin(), room.begin() + static_cast<std::ptrdiff_t>(*flushed));
    }
    EXPECT_NEAR(static_cast<double>(output.size()), kTo, 2);
    int crossings = 0;  // upward, away from the filter's edges
    for (std::size_t i = 1000; i + 1000 < output.size(); ++i) crossings += output[i - 1] < 0 && output[i] >= 0;
    EXPECT_NEAR(crossings, kTone * (output.size() - 2000) / kTo, 2);
  }
  EXPECT_FALSE(Resampler::Create(44100, 40, 1)) << "rates more than 1024 times apart";
}

}  // namespace
}  // namespace Orvane::Audio
