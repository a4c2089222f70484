#include <gtest/gtest.h>

#include <memory>

#include "BankLayout.h"
#include "BankWriter.h"
#include "TestFiles.h"

namespace Orvane {
namespace {

namespace tf = Orvane::Test;

// The bytes saving would write for `plan`.
tf::Bytes Written(const BankPlan& plan) {
  tf::Bytes file = EncodeTable(plan.Offsets);
  for (const auto& part : plan.Body) file.insert(file.end(), part.begin(), part.end());
  return file;
}

tf::Bytes Range(const tf::Bytes& bytes, std::size_t from, std::size_t count) {
  return {bytes.begin() + static_cast<std::ptrdiff_t>(from),
          bytes.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

// Two sounds with a gap between them and bytes after the last: what no edit touches stays as
// the file has it, in its order, and an edited sound is written afresh where it stood.
TEST(BankLayout, KeepsUntouchedBytesWhereTheyAreAndMovesOnlyWhatFollowsAnEdit) {
  const tf::SoundSpec a{.Name = "a", .Data = tf::Samples(100, 1)};
  const tf::SoundSpec b{.Name = "b", .Data = tf::Samples(60, 2)};
  const tf::Bytes gap(8, 0xEE), tail(5, 0xAB);
  const std::uint32_t atA = 12, atB = atA + 40 + 100 + 8;
  tf::Bytes file;
  tf::AppendU32(file, 2);
  tf::AppendU32(file, atA);
  tf::AppendU32(file, atB);
  for (const tf::Bytes& part : {tf::MakeHeader(a), a.Data, gap, tf::MakeHeader(b), b.Data, tail})
    file.insert(file.end(), part.begin(), part.end());
  const tf::TempDir dir;
  tf::WriteFile(dir / "bank.sdt", file);
  auto loaded = LoadedBank::Read(dir / "bank.sdt");
  ASSERT_TRUE(loaded) << loaded.message();
  std::vector<SoundSlot> sounds = (*loaded)->Slots();

  auto asLoaded = PlanBank(**loaded, sounds);
  ASSERT_TRUE(asLoaded) << asLoaded.message();
  EXPECT_EQ(Written(*asLoaded), file);

  // Sound 0 gets 100 more bytes of samples.
  const auto grown = std::make_shared<tf::Bytes>(tf::Samples(200, 3));
  sounds[0].Samples = {grown, *grown};
  sounds[0].Element.Entry.DataSize = 200;
  auto edited = PlanBank(**loaded, sounds);
  ASSERT_TRUE(edited) << edited.message();
  const tf::Bytes saved = Written(*edited);
  EXPECT_EQ(edited->Offsets, (std::vector<std::uint32_t>{atA, atB + 100}));
  EXPECT_EQ(edited->Size, saved.size());
  EXPECT_EQ(Range(saved, atA + 40, 200), *grown);
  EXPECT_EQ(Range(saved, atA + 40 + 200, 8), gap);
  EXPECT_EQ(Range(saved, atB + 100, 40 + 60), Range(file, atB, 40 + 60));
  EXPECT_EQ(Range(saved, saved.size() - 5, 5), tail);
}

}  // namespace
}  // namespace Orvane
