#include <gtest/gtest.h>

#include "SoundEditor.h"
#include "SoundReplacement.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
using tf::SoundSpec;

// A bank written byte by byte: the table's offsets and each piece at its place; the bytes in
// between are filler that must survive.
Bytes Place(const std::vector<std::uint32_t>& table,
            const std::vector<std::pair<std::uint32_t, Bytes>>& pieces, std::size_t size) {
  Bytes bank(size, 0xEE);
  tf::PutU32(bank, 0, static_cast<std::uint32_t>(table.size()));
  for (std::size_t i = 0; i < table.size(); ++i) tf::PutU32(bank, 4 + 4 * i, table[i]);
  for (const auto& [at, bytes] : pieces) std::copy(bytes.begin(), bytes.end(), bank.begin() + at);
  return bank;
}

Bytes Sound(SoundSpec spec, std::size_t extra = 0) {
  spec.HeaderSize = static_cast<std::uint32_t>(40 + extra);
  Bytes out = tf::MakeHeader(spec);
  for (std::size_t i = 0; i < extra; ++i) out.push_back(static_cast<std::uint8_t>(0xA0 + i));
  out.insert(out.end(), spec.Data.begin(), spec.Data.end());
  return out;
}

// Banks that no packer writes: gaps and trailing bytes, sounds out of table order and one
// shared by two slots, a header with extra bytes and a name with bytes after its terminator.
std::vector<Bytes> OddBanks() {
  SoundSpec a{"alpha", tf::Samples(30, 1)}, b{"beta", tf::Samples(20, 2)}, c{"gamma", tf::Samples(10, 3)};
  a.Unknown = 7;
  a.LoopStart = 3;
  a.LoopEnd = 25;
  b.SampleRate = 22051;
  Bytes named = Sound(c);
  named[8 + 6] = 'x';  // after "gamma\0"
  return {
      Place({20, 100}, {{20, Sound(a)}, {100, Sound(b)}}, 190),
      Place({120, 16, 120}, {{16, Sound(a, 5)}, {120, named}}, 200),
      Place({12, 12}, {{12, Sound(b)}}, 72),
  };
}

class Edit : public ::testing::Test {
 protected:
  std::filesystem::path Write(const std::string& name, const Bytes& bytes) {
    tf::WriteFile(dir_ / name, bytes);
    return dir_ / name;
  }
  Bytes SaveAs(const std::string& name) {
    EXPECT_TRUE(editor_.Save(dir_ / name)) << name;
    return tf::ReadFile(dir_ / name);
  }

  tf::TempDir dir_;
  CSoundEditor editor_;
};

TEST_F(Edit, SavingWithoutEditsOrAfterUndoingThemAllGivesTheLoadedFile) {
  const auto wave = Write("new.wav", tf::MakeWave(tf::Samples(64, 9), 22050));
  for (const Bytes& bank : OddBanks()) {
    ASSERT_TRUE(editor_.LoadBank(Write("odd.sdt", bank)));
    EXPECT_EQ(SaveAs("same.sdt"), bank);
    ASSERT_TRUE(ReplaceSound(editor_, 0, wave, {}, tf::Quiet));
    ASSERT_TRUE(editor_.SetFields(1, {"renamed", 1, 2, 3}));
    ASSERT_TRUE(InsertSound(editor_, 1, wave, {}, tf::Quiet));
    ASSERT_TRUE(editor_.Remove({0}));
    EXPECT_TRUE(editor_.IsModified());
    EXPECT_NE(SaveAs("edited.sdt"), bank);
    EXPECT_FALSE(editor_.IsModified());
    while (editor_.Undo()) {
    }
    EXPECT_TRUE(editor_.IsModified()) << "the saved point is the edited bank now";
    EXPECT_EQ(SaveAs("undone.sdt"), bank);
  }
}

// Undo and Redo show kept layouts instead of laying the bank out again: they must be the ones a
// save writes, also after an undone edit was replaced by another.
TEST_F(Edit, OffsetsShownAfterUndoAndRedoAreTheOnesSaved) {
  const auto longer = Write("long.wav", tf::MakeWave(tf::Samples(300, 9), 22050));
  const auto shorter = Write("short.wav", tf::MakeWave(tf::Samples(10, 9), 22050));
  ASSERT_TRUE(editor_.LoadBank(Write("odd.sdt", OddBanks()[1])));
  const auto expectSaved = [&](const char* step) {
    std::vector<std::uint32_t> shown;
    for (std::uint32_t i = 0; i < editor_.Count(); ++i) shown.push_back(editor_.Entry(i).Offset);
    SaveAs("check.sdt");
    CSoundEditor saved;
    ASSERT_TRUE(saved.LoadBank(dir_ / "check.sdt"));
    for (std::uint32_t i = 0; i < saved.Count(); ++i)
      EXPECT_EQ(shown.at(i), saved.Entry(i).Offset) << step << ", sound " << i;
  };
  ASSERT_TRUE(ReplaceSound(editor_, 0, longer, {}, tf::Quiet));
  ASSERT_TRUE(ReplaceSound(editor_, 1, shorter, {}, tf::Quiet));
  expectSaved("two edits");
  editor_.Undo();
  expectSaved("undo");
  editor_.Undo();
  expectSaved("undo again");
  editor_.Redo();
  expectSaved("redo");
  ASSERT_TRUE(ReplaceSound(editor_, 2, longer, {}, tf::Quiet));  // in place of the second edit
  editor_.Undo();
  editor_.Redo();
  expectSaved("redo of the new edit");
}

TEST_F(Edit, ReplacingASoundKeepsEverythingElse) {
  const Bytes bank = OddBanks()[1];
  const auto wave = Write("new.wav", tf::MakeWave(tf::Samples(100, 5), 8000, 8));
  ASSERT_TRUE(editor_.LoadBank(Write("odd.sdt", bank)));
  const TbSoundEntry before = editor_.Entry(1).Entry;
  const auto others = *editor_.SampleData(0);
  const Bytes othersBytes(others.begin(), others.end());
  ASSERT_TRUE(ReplaceSound(editor_, 1, wave, ReplaceFormat::FilesOwn, tf::Quiet));
  SaveAs("saved.sdt");

  CSoundEditor saved;
  ASSERT_TRUE(saved.LoadBank(dir_ / "saved.sdt"));
  ASSERT_EQ(saved.Count(), 3u);
  const TbSoundEntry& after = saved.Entry(1).Entry;
  EXPECT_EQ(after.Name, before.Name);
  EXPECT_EQ(after.HeaderSize, 45u);
  EXPECT_EQ(std::tie(after.Unknown, after.LoopStart, after.LoopEnd),
            std::tie(before.Unknown, before.LoopStart, before.LoopEnd));
  EXPECT_EQ(std::tie(after.SampleRate, after.BitsPerSample, after.DataSize),
            std::make_tuple(std::uint16_t{16000}, std::uint8_t{8}, std::uint32_t{100}));
  const Bytes extra(saved.FileBytes().begin() + saved.Entry(1).Offset + 40,
                    saved.FileBytes().begin() + saved.Entry(1).Offset + 45);
  EXPECT_EQ(extra, (Bytes{0xA0, 0xA1, 0xA2, 0xA3, 0xA4}));
  for (std::uint32_t i : {0u, 2u}) {
    EXPECT_EQ(saved.Entry(i).Entry, editor_.Entry(i).Entry) << i;
    const auto s = *saved.SampleData(i);
    EXPECT_EQ(Bytes(s.begin(), s.end()), othersBytes) << i;
  }
  EXPECT_EQ(saved.Entry(0).Offset, saved.Entry(2).Offset) << "a shared sound stays shared";
  EXPECT_EQ(editor_.Entry(1).Offset, saved.Entry(1).Offset) << "the list shows offsets as written";
}

// A new name is the whole of its field: bytes of the old name left after the new terminator
// would be read back by anything that reads the field whole.
TEST_F(Edit, ARenameLeavesNothingOfTheOldNameInTheSavedHeader) {
  ASSERT_TRUE(editor_.LoadBank(Write("a.sdt", tf::MakeBank({{"longername", tf::Samples(10)}}))));
  ASSERT_TRUE(editor_.SetFields(0, {.Name = "ab"}));
  const Bytes saved = SaveAs("renamed.sdt");
  const std::size_t name = 8 + 8;  // the table of one sound, then byte 8 of its header
  Bytes expected(TbSoundEntry::kNameSize, 0);
  expected[0] = 'a', expected[1] = 'b';
  EXPECT_EQ(Bytes(saved.begin() + name, saved.begin() + name + TbSoundEntry::kNameSize), expected);
}

TEST_F(Edit, EditsThatBreakTheRulesAreRefusedAndChangeNothing) {
  ASSERT_TRUE(editor_.LoadBank(Write("b.sdt", tf::MakeBank({{"one", tf::Samples(8)}}))));
  EXPECT_EQ(editor_.SetFields(0, {std::string(17, 'x')}).kind(), ErrorKind::Refused);
  EXPECT_EQ(editor_.SetFields(0, {"\xE2\x98\x83"}).kind(), ErrorKind::Refused);  // a snowman
  EXPECT_TRUE(editor_.SetFields(0, {"caf\xC3\xA9 \xE2\x82\xAC"}));              // in the code page
  EXPECT_EQ(editor_.Entry(0).Entry.NameBytes(), "caf\xE9 \x80");
  EXPECT_EQ(editor_.Remove({0}).kind(), ErrorKind::Refused);
  EXPECT_EQ(ReplaceSound(editor_, 1, dir_ / "none.wav", {}, tf::Quiet).kind(), ErrorKind::NotFound);
  EXPECT_EQ(ReplaceSound(editor_, 0, dir_ / "none.wav", {}, tf::Quiet).kind(), ErrorKind::NotFound);
  EXPECT_EQ(editor_.Count(), 1u);
  EXPECT_EQ(editor_.UndoName(), "Edit sound 0");
  EXPECT_EQ(editor_.RedoName(), std::nullopt);
  ASSERT_TRUE(editor_.Undo());
  EXPECT_FALSE(editor_.IsModified());
  EXPECT_EQ(editor_.RedoName(), "Edit sound 0");
}

// Saved, undone, then replaced by another edit: the saved bank is no step of the history any
// more, so no step may count as unmodified, or closing would lose an edit without asking.
TEST_F(Edit, ASavedStateThatAnotherEditReplacedIsNeverUnmodifiedAgain) {
  const auto path = Write("b.sdt", tf::MakeBank({{"one", tf::Samples(8)}}));
  ASSERT_TRUE(editor_.LoadBank(path));
  const std::string sixteen(16, 'y');  // a name fills its field without a terminator
  ASSERT_TRUE(editor_.SetFields(0, {sixteen}));
  EXPECT_EQ(editor_.Entry(0).Entry.NameBytes(), sixteen);
  ASSERT_TRUE(editor_.Save(path));
  ASSERT_TRUE(editor_.Undo());
  ASSERT_TRUE(editor_.SetFields(0, {"two"}));
  EXPECT_TRUE(editor_.IsModified());
  ASSERT_TRUE(editor_.Undo());
  EXPECT_TRUE(editor_.IsModified()) << "the loaded bank is not the saved one";
}

TEST_F(Edit, SavingIsRefusedWhileSoundsAreDamagedOrTheFileChangedOnDisk) {
  Bytes bank = tf::MakeBank({{"ok", tf::Samples(8)}, {"cut", tf::Samples(8)}});
  bank.resize(bank.size() - 4);
  const auto path = Write("b.sdt", bank);
  ASSERT_TRUE(editor_.LoadBank(path));
  Status refused = editor_.Save(path);
  EXPECT_EQ(refused.kind(), ErrorKind::Damaged);
  EXPECT_EQ(refused.where().Sound, 1u);
  ASSERT_TRUE(ReplaceSound(editor_, 1, Write("w.wav", tf::MakeWave(tf::Samples(8))), {}, tf::Quiet));
  Write("b.sdt", tf::MakeBank({{"theirs", tf::Samples(99)}}));
  EXPECT_EQ(editor_.Save(path).kind(), ErrorKind::ChangedOnDisk);
  EXPECT_TRUE(editor_.IsModified());
  ASSERT_TRUE(editor_.Save(path, {.Force = true}));
  ASSERT_TRUE(editor_.SetFields(0, {"again"}));
  EXPECT_TRUE(editor_.Save(path)) << "the saved file is the loaded one now";
}

}  // namespace
}  // namespace Orvane
