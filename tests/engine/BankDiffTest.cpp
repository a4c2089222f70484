#include <gtest/gtest.h>

#include "BankDiff.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
using tf::SoundSpec;

class BankDiffTest : public ::testing::Test {
 protected:
  // Compares two bank files as the tool does.
  std::vector<SoundDiff> Compare(const Bytes& a, const Bytes& b) {
    tf::WriteFile(dir_ / "a.sdt", a);
    tf::WriteFile(dir_ / "b.sdt", b);
    auto first = OpenComparedBank(dir_ / "a.sdt");
    auto second = OpenComparedBank(dir_ / "b.sdt");
    EXPECT_TRUE(first && second);
    auto diffs = CompareBanks(**first, **second);
    EXPECT_TRUE(diffs) << diffs.message();
    return diffs ? *diffs : std::vector<SoundDiff>{};
  }

  tf::TempDir dir_;
};

SoundSpec Base() {
  return {.Name = "bell", .Data = tf::Samples(64, 1), .Unknown = 1, .LoopStart = 2, .LoopEnd = 3,
          .HeaderSize = 44};
}

// The same sounds in another layout: the table in another order pointing at headers elsewhere,
// a gap, bytes after the last sound, extra header bytes kept.
TEST_F(BankDiffTest, TheSameSoundsInAnotherLayoutAreTheSame) {
  SoundSpec other = Base();
  other.Name = "door";
  other.Data = tf::Samples(10, 2);
  const Bytes packed = tf::MakePackedBank({Base(), other});
  Bytes moved(4 + 8, 0);
  tf::PutU32(moved, 0, 2);
  const auto place = [&](const SoundSpec& s) {
    const auto at = static_cast<std::uint32_t>(moved.size() + 3);  // a gap before it
    moved.resize(at);
    const Bytes header = tf::MakeHeader(s);
    moved.insert(moved.end(), header.begin(), header.end());
    moved.insert(moved.end(), packed.begin() + 12 + 40, packed.begin() + 12 + 44);  // extra bytes
    moved.insert(moved.end(), s.Data.begin(), s.Data.end());
    return at;
  };
  const std::uint32_t second = place(other), first = place(Base());
  tf::PutU32(moved, 4, first);
  tf::PutU32(moved, 8, second);
  moved.push_back(0xEE);  // trailing
  EXPECT_TRUE(Compare(packed, moved).empty());
}

TEST_F(BankDiffTest, EachFieldDifferingAloneIsNamedAlone) {
  const struct {
    DiffFields fields;
    void (*change)(SoundSpec&);
  } cases[] = {
      {static_cast<DiffFields>(DiffField::Name), [](SoundSpec& s) { s.Name = "ball"; }},
      {static_cast<DiffFields>(DiffField::SampleRate), [](SoundSpec& s) { s.SampleRate = 22050; }},
      {static_cast<DiffFields>(DiffField::BitsPerSample), [](SoundSpec& s) { s.BitsPerSample = 8; }},
      {static_cast<DiffFields>(DiffField::NumChannels), [](SoundSpec& s) { s.NumChannels = 2; }},
      {static_cast<DiffFields>(DiffField::Unknown), [](SoundSpec& s) { s.Unknown = 9; }},
      {static_cast<DiffFields>(DiffField::LoopStart), [](SoundSpec& s) { s.LoopStart = 9; }},
      {static_cast<DiffFields>(DiffField::LoopEnd), [](SoundSpec& s) { s.LoopEnd = 9; }},
      {static_cast<DiffFields>(DiffField::Samples), [](SoundSpec& s) { s.Data[5] ^= 1; }},
      {static_cast<DiffFields>(DiffField::DataSize) | static_cast<DiffFields>(DiffField::Samples),
       [](SoundSpec& s) { s.Data.pop_back(); }},
      // Bytes after the terminator are no part of the name.
      {0, [](SoundSpec& s) { s.Name = std::string("bell\0junk", 9); }},
  };
  for (const auto& c : cases) {
    SoundSpec changed = Base();
    c.change(changed);
    const auto diffs = Compare(tf::MakePackedBank({Base()}), tf::MakePackedBank({changed}));
    SCOPED_TRACE(FieldNames(c.fields));
    if (c.fields == 0) {
      EXPECT_TRUE(diffs.empty());
    } else {
      ASSERT_EQ(diffs.size(), 1u);
      EXPECT_EQ(FieldNames(diffs[0].Fields), FieldNames(c.fields));
    }
  }
  // The extra header bytes: the same size, another byte.
  Bytes extra = tf::MakePackedBank({Base()});
  extra[8 + 41] ^= 1;  // the header of the one sound starts after the table, at 8
  const auto diffs = Compare(tf::MakePackedBank({Base()}), extra);
  ASSERT_EQ(diffs.size(), 1u);
  EXPECT_EQ(FieldNames(diffs[0].Fields), "ExtraHeader");
}

TEST_F(BankDiffTest, ExtraSoundsAreAddedOrRemovedAndDamagedOnesAreNotRead) {
  SoundSpec more = Base();
  more.Name = "more";
  EXPECT_EQ(Compare(tf::MakePackedBank({Base()}), tf::MakePackedBank({Base(), more, more})),
            (std::vector<SoundDiff>{{1, SoundChange::Added}, {2, SoundChange::Added}}));
  EXPECT_EQ(Compare(tf::MakePackedBank({Base(), more}), tf::MakePackedBank({Base()})),
            (std::vector<SoundDiff>{{1, SoundChange::Removed}}));
  Bytes cut = tf::MakePackedBank({Base()});
  cut.resize(cut.size() - 1);  // its samples run past the end
  const auto diffs = Compare(tf::MakePackedBank({Base()}), cut);
  ASSERT_EQ(diffs.size(), 1u);
  EXPECT_EQ(FieldNames(diffs[0].Fields), "Damaged");
}

// Sounds are compared in blocks on every core; what they find comes back in index order.
TEST_F(BankDiffTest, ManySoundsComeBackInIndexOrder) {
  std::vector<SoundSpec> mine(1000, Base()), theirs(1100, Base());
  std::vector<SoundDiff> expected;
  for (const std::uint32_t i : {3u, 600u, 999u}) {
    theirs[i].Data[0] ^= 1;
    expected.push_back({i, SoundChange::Changed, static_cast<DiffFields>(DiffField::Samples)});
  }
  for (std::uint32_t i = 1000; i < 1100; ++i) expected.push_back({i, SoundChange::Added});
  EXPECT_EQ(Compare(tf::MakePackedBank(mine), tf::MakePackedBank(theirs)), expected);
}

}  // namespace
}  // namespace Orvane
