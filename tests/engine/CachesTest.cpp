#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "LevelsCache.h"
#include "PeaksCache.h"
#include "TestFiles.h"

namespace Orvane {
namespace {

// A cache answers for the samples it was given, recognised by their store: other samples at
// the same address (a store freed and its memory taken again) are another sound.
TEST(Caches, AnswerForTheSamplesTheyWereGivenNotForAnotherSoundAtTheirAddress) {
  const auto store = std::make_shared<std::vector<std::uint8_t>>(Orvane::Test::Samples(4000, 1));
  const std::span<const std::uint8_t> bytes(store->data(), store->size());
  const SampleRef measured{store, bytes};
  const SampleRef another{std::make_shared<int>(0), bytes};
  const SoundFormat format{44100, 16, 1};

  LevelsCache levels;
  levels.Keep({measured, format}, {-3, -20});
  ASSERT_TRUE(levels.Find(measured, format));
  EXPECT_EQ(levels.Find(measured, format)->LoudnessLufs, -20);
  EXPECT_FALSE(levels.Find(another, format));
  EXPECT_FALSE(levels.Find(measured, {44100, 8, 2})) << "the same bytes in another format";

  PeaksCache peaks;
  auto first = peaks.Get(measured, 16, 1);
  ASSERT_TRUE(first) << first.message();
  EXPECT_EQ(peaks.Get(measured, 16, 1)->get(), first->get()) << "computed twice";
  EXPECT_NE(peaks.Get(another, 16, 1)->get(), first->get());
  EXPECT_NE(peaks.Get(measured, 8, 2)->get(), first->get());
}

}  // namespace
}  // namespace Orvane
