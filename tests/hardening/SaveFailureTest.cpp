// Saving an edited bank under real faults: the target stays as it was, and every edit stays in
// memory, undoable, to be saved elsewhere.
#include <gtest/gtest.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "PathUtf8.h"
#include "SmallDisk.h"
#include "SoundEditor.h"
#include "SoundReplacement.h"
#include "TestFiles.h"

// Every fsync of this program goes through here, to be counted, and failed when a test says.
namespace {
std::atomic<int> gSyncs{0};
std::atomic<bool> gSyncsFail{false};
}  // namespace

extern "C" int fsync(int fd) {
  ++gSyncs;
  if (gSyncsFail) {
    errno = EIO;
    return -1;
  }
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

// A save is durable: its bytes are synced before they replace the bank, and then the folder. A
// sync that fails leaves the bank as it was.
TEST(SaveFailure, ASaveIsSyncedBeforeItReplacesTheBankAndAFailedSyncKeepsTheBank) {
  TempDir dir;
  const Bytes bank = MakeBank({{"a", Samples(100)}});
  WriteFile(dir / "bank.sdt", bank);
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
  ASSERT_TRUE(editor.SetFields(0, {"b"}));

  gSyncsFail = true;
  const Status failed = editor.Save(dir / "bank.sdt");
  gSyncsFail = false;
  EXPECT_EQ(failed.kind(), ErrorKind::Io);
  EXPECT_EQ(ReadFile(dir / "bank.sdt"), bank);
  EXPECT_TRUE(editor.IsModified());

  gSyncs = 0;
  ASSERT_TRUE(editor.Save(dir / "bank.sdt"));
  EXPECT_GE(gSyncs, 2) << "the file and its folder";
  EXPECT_NE(ReadFile(dir / "bank.sdt"), bank);
}

TEST(SaveFailure, AFullDiskKeepsTheTargetAndEveryEdit) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Refusal();
  const Bytes bank = MakeBank({{"small", Samples(1000)}});
  WriteFile(disk / "bank.sdt", bank);
  TempDir dir;
  WriteFile(dir / "big.wav", MakeWave(Samples(300 * 1024), 11025, 8));
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(disk / "bank.sdt"));
  ASSERT_TRUE(ReplaceSound(editor, 0, dir / "big.wav", ReplaceFormat::FilesOwn, Quiet));
  ASSERT_TRUE(editor.SetFields(0, {"bigger"}));

  const Status full = editor.Save(disk / "bank.sdt");
  EXPECT_EQ(full.kind(), ErrorKind::Io);
  EXPECT_EQ(full.where().File, PathToUtf8(disk / "bank.sdt"));
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
