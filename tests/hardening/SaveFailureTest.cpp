// Saving an edited bank under real faults: the target stays as it was, and every edit stays in
// memory, undoable, to be saved elsewhere.
#include <gtest/gtest.h>

#include "SmallDisk.h"
#include "SoundEditor.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

TEST(SaveFailure, AFullDiskKeepsTheTargetAndEveryEdit) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Refusal();
  const Bytes bank = MakeBank({{"small", Samples(1000)}});
  WriteFile(disk / "bank.sdt", bank);
  TempDir dir;
  WriteFile(dir / "big.wav", MakeWave(Samples(300 * 1024), 11025, 8));
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(disk / "bank.sdt"));
  ASSERT_TRUE(editor.Replace(0, dir / "big.wav", ReplaceFormat::FilesOwn));
  ASSERT_TRUE(editor.SetFields(0, {"bigger"}));

  const Status full = editor.Save(disk / "bank.sdt");
  EXPECT_EQ(full.kind(), ErrorKind::Io);
  EXPECT_EQ(full.where().File, (disk / "bank.sdt").string());
  EXPECT_EQ(ReadFile(disk / "bank.sdt"), bank);
  EXPECT_EQ(std::distance(fs::directory_iterator(disk.Path()), {}), 1) << "no temporary left";
  EXPECT_TRUE(editor.IsModified());
  EXPECT_EQ(editor.UndoName(), "Edit sound 0");
  ASSERT_TRUE(editor.Save(dir / "elsewhere.sdt"));
  CSoundEditor saved;
  ASSERT_TRUE(saved.LoadBank(dir / "elsewhere.sdt"));
  EXPECT_EQ(saved.Entry(0).Entry.NameBytes(), "bigger");
  EXPECT_EQ(saved.Entry(0).Entry.DataSize, 300u * 1024);
  ASSERT_TRUE(editor.Undo());
  EXPECT_EQ(editor.Entry(0).Entry.NameBytes(), "small");
}

TEST(SaveFailure, SavingThroughALinkKeepsTheLinkAndTheFilesMode) {
  TempDir dir;
  WriteFile(dir / "real.sdt", MakeBank({{"one", Samples(10)}}));
  fs::permissions(dir / "real.sdt", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.sdt", dir / "link.sdt");
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "link.sdt"));
  ASSERT_TRUE(editor.SetFields(0, {"two"}));
  ASSERT_TRUE(editor.Save(dir / "link.sdt"));
  EXPECT_TRUE(fs::is_symlink(dir / "link.sdt"));
  EXPECT_EQ(fs::status(dir / "real.sdt").permissions(), fs::perms::owner_read | fs::perms::owner_write);
  CSoundEditor saved;
  ASSERT_TRUE(saved.LoadBank(dir / "real.sdt"));
  EXPECT_EQ(saved.Entry(0).Entry.NameBytes(), "two");
  ASSERT_TRUE(editor.SetFields(0, {"three"}));
  EXPECT_TRUE(editor.Save(dir / "real.sdt")) << "the file the link names is the loaded one";
}

}  // namespace
}  // namespace Orvane::Test
