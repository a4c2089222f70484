// The one writer under real faults: links, permissions, a folder that refuses writes, a full
// disk. A failure leaves the target as it was and no temporary file beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "AtomicFile.h"
#include "ChildProcess.h"
#include "PathUtf8.h"
#include "SmallDisk.h"
#include "SoundEditor.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

const Bytes kOld = {'o', 'l', 'd'};
constexpr uid_t kNobody = 65534;

Status WriteWhole(const fs::path& target, const Bytes& bytes) {
  auto out = AtomicFile::Create(target);
  if (!out) return out.status();
  if (Status s = out->Write(bytes); !s) return s;
  return out->Commit();
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

unsigned ModeOf(const fs::path& file) { return static_cast<unsigned>(fs::status(file).permissions()); }

TEST(SafeWrite, ALinkIsWrittenThroughAndStaysALink) {
  TempDir dir;
  const Bytes fresh = Samples(100);
  WriteFile(dir / "real.sdt", kOld);
  fs::create_directory(dir / "links");
  // A relative link names a file beside the link, whatever the working directory.
  fs::create_symlink("../real.sdt", dir / "links" / "link.sdt");
  fs::create_symlink(dir / "links" / "link.sdt", dir / "chain.sdt");
  ASSERT_TRUE(WriteWhole(dir / "chain.sdt", fresh));
  EXPECT_TRUE(fs::is_symlink(dir / "chain.sdt"));
  EXPECT_TRUE(fs::is_symlink(dir / "links" / "link.sdt"));
  EXPECT_EQ(ReadFile(dir / "real.sdt"), fresh);

  fs::create_symlink("new.sdt", dir / "dangling.sdt");
  ASSERT_TRUE(WriteWhole(dir / "dangling.sdt", fresh));
  EXPECT_TRUE(fs::is_symlink(dir / "dangling.sdt"));
  EXPECT_EQ(ReadFile(dir / "new.sdt"), fresh);

  fs::create_symlink("loop-b", dir / "loop-a");
  fs::create_symlink("loop-a", dir / "loop-b");
  const Status loop = WriteWhole(dir / "loop-a", fresh);
  EXPECT_EQ(loop.kind(), ErrorKind::Io);
  EXPECT_EQ(loop.where(), Where{PathToUtf8(dir / "loop-a")});

  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"chain.sdt", "dangling.sdt", "links", "loop-a",
                                                  "loop-b", "new.sdt", "real.sdt"}));
  EXPECT_EQ(Names(dir / "links"), std::vector<std::string>{"link.sdt"});
}

TEST(SafeWrite, ATargetKeepsItsPermissionsAndANewFileGets0644LessTheUmask) {
  TempDir dir;
  const mode_t umaskBefore = ::umask(077);
  for (const unsigned mode : {0600u, 0666u, 0750u}) {
    WriteFile(dir / "kept", kOld);
    fs::permissions(dir / "kept", static_cast<fs::perms>(mode));
    EXPECT_TRUE(WriteWhole(dir / "kept", Samples(10)));
    EXPECT_EQ(ModeOf(dir / "kept"), mode);
  }
  EXPECT_TRUE(WriteWhole(dir / "masked", Samples(10)));
  ::umask(0);
  EXPECT_TRUE(WriteWhole(dir / "unmasked", Samples(10)));
  ::umask(umaskBefore);
  EXPECT_EQ(ModeOf(dir / "masked"), 0600u);
  EXPECT_EQ(ModeOf(dir / "unmasked"), 0644u);
}

TEST(SafeWrite, AFolderThatRefusesWritesLeavesTheTargetAsItWas) {
  TempDir dir;
  fs::permissions(dir.Path(), static_cast<fs::perms>(0755));
  const fs::path locked = dir / "locked";
  fs::create_directory(locked);
  WriteFile(locked / "bank.sdt", kOld);
  fs::permissions(locked, static_cast<fs::perms>(0555));
  const ChildOutcome outcome = RunInChild([&] {
    // Root writes through permissions; an ordinary user does not.
    if (::geteuid() == 0 && ::setuid(kNobody) != 0) SkipChild("cannot become an ordinary user");
    if (::access(locked.c_str(), W_OK) == 0) SkipChild("this process writes into read-only folders");
    const Status written = WriteWhole(locked / "bank.sdt", Samples(100));
    EXPECT_EQ(written.kind(), ErrorKind::Io);
    EXPECT_EQ(written.where().File, PathToUtf8(locked / "bank.sdt"));
  });
  EXPECT_NE(outcome, ChildOutcome::Failed);
  EXPECT_EQ(ReadFile(locked / "bank.sdt"), kOld);
  EXPECT_EQ(Names(locked), std::vector<std::string>{"bank.sdt"});
  fs::permissions(locked, fs::perms::owner_all);  // so that the folder can be removed
}

TEST(SafeWrite, AFullDiskLeavesTheTargetAsItWas) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Refusal();
  WriteFile(disk / "bank.sdt", kOld);
  const Status written = WriteWhole(disk / "bank.sdt", Samples(512 * 1024));
  EXPECT_EQ(written.kind(), ErrorKind::Io);
  EXPECT_EQ(written.where().File, PathToUtf8(disk / "bank.sdt"));
  EXPECT_EQ(ReadFile(disk / "bank.sdt"), kOld);
  EXPECT_EQ(Names(disk.Path()), std::vector<std::string>{"bank.sdt"});
}

TEST(SafeWrite, AFailedExportLeavesTheEarlierFileWhole) {
  SmallDisk disk;
  if (!disk.Mounted()) GTEST_SKIP() << disk.Refusal();
  TempDir dir;
  // Fits the disk once, not twice.
  WriteFile(dir / "bank.sdt", MakeBank({{.Name = "big", .Data = Samples(150 * 1024)}}));
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
  ASSERT_TRUE(editor.Export(0, disk.Path()));
  const Bytes earlier = ReadFile(disk / "0_big.wav");
  const Status again = editor.Export(0, disk.Path());
  EXPECT_EQ(again.kind(), ErrorKind::Io);
  EXPECT_EQ(again.where().File, PathToUtf8(disk / "0_big.wav"));
  EXPECT_EQ(again.where().Sound, 0u);
  EXPECT_EQ(ReadFile(disk / "0_big.wav"), earlier);
  EXPECT_EQ(Names(disk.Path()), std::vector<std::string>{"0_big.wav"});
}

}  // namespace
}  // namespace Orvane::Test
