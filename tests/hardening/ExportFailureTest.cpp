// Export when its folder or its bank changes under it: every sound that cannot be written is
// reported and the others are written; a bank file changed on disk after loading changes
// nothing of what export and playback serve.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>

#include "ChildProcess.h"
#include "RunProgram.h"
#include "SoundEditor.h"
#include "SoundExport.h"
#include "TestFiles.h"
#include "Text.h"

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

const std::vector<SoundSpec> kSounds = {
    {.Name = "a", .Data = Samples(100, 1)},
    {.Name = "b", .Data = Samples(0, 2), .SampleRate = 22050, .BitsPerSample = 8, .NumChannels = 2},
    {.Name = "c", .Data = Samples(333, 3)},
};

// What export writes for `sound` and playback plays: the canonical header and the samples,
// without a pad byte after an odd count.
Bytes ImageOf(const SoundSpec& sound) {
  return WaveBuilder()
      .Format(sound.NumChannels, sound.SampleRate / 2u, sound.BitsPerSample)
      .Chunk("data", sound.Data, false)
      .Build();
}

std::size_t LineCount(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(ExportFailure, AFolderThatCannotBeWrittenReportsEverySound) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", MakeBank(kSounds));
  fs::create_directory(dir / "locked");
  const ChildOutcome outcome = RunInChild([&] {
    // As root, permissions do not stop writes; a read-only file system does.
    if (!MountPrivateTmpfs(dir / "locked", "size=64k", true)) {
      if (::geteuid() == 0) SkipChild(Str("no read-only folder here: ", std::strerror(errno)));
      fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    }
    const ProgramRun run = RunCli({"export", "bank.sdt", "--output", "locked"}, dir.Path());
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(LineCount(run.Err), kSounds.size()) << run.Err;
    for (const char* file : {"locked/0_a.wav", "locked/1_b.wav", "locked/2_c.wav"})
      EXPECT_NE(run.Err.find(file), std::string::npos) << file << " is not reported:\n" << run.Err;
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
  });
  EXPECT_NE(outcome, ChildOutcome::Failed);
}

TEST(ExportFailure, SoundsThatCannotBeWrittenDoNotStopTheOthers) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", MakeBank(kSounds));
  // A folder standing where a sound's file should go.
  fs::create_directories(dir / "output" / "0_a.wav");
  fs::create_directories(dir / "output" / "2_c.wav");
  const ProgramRun run = RunCli({"export", "bank.sdt"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(LineCount(run.Err), 2u) << run.Err;
  EXPECT_NE(run.Err.find("output/0_a.wav"), std::string::npos) << run.Err;
  EXPECT_NE(run.Err.find("output/2_c.wav"), std::string::npos) << run.Err;
  EXPECT_EQ(ReadFile(dir / "output" / "1_b.wav"), ImageOf(kSounds[1]));
}

// A file cut off by a full disk would later be packed as if it were whole: it must not stay.
TEST(ExportFailure, ASoundCutOffByAFullDiskLeavesNoFile) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", MakeBank(kSounds));
  const ChildOutcome outcome = RunInChild([&] {
    // Writes past 200 bytes fail as on a full disk: sounds 0 and 1 fit, sound 2 does not.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{200, 200};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) SkipChild(std::strerror(errno));
    const ProgramRun run = RunCli({"export", "bank.sdt"}, dir.Path());
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find("output/2_c.wav"), std::string::npos) << run.Err;
    EXPECT_FALSE(fs::exists(dir / "output" / "2_c.wav"));
    EXPECT_EQ(ReadFile(dir / "output" / "0_a.wav"), ImageOf(kSounds[0]));
    EXPECT_EQ(ReadFile(dir / "output" / "1_b.wav"), ImageOf(kSounds[1]));
  });
  EXPECT_NE(outcome, ChildOutcome::Failed);
}

TEST(ExportFailure, AnOutputFolderRemovedMeanwhileIsCreatedAgain) {
  TempDir dir;
  ScopedWorkingDirectory cwd(dir.Path());
  WriteFile(dir / "bank.sdt", MakeBank(kSounds));
  CSoundEditor editor;
  ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
  ASSERT_TRUE(editor.Export(0, fs::current_path() / "output"));
  fs::remove_all(dir / "output");
  const Status again = editor.Export(2, fs::current_path() / "output");
  ASSERT_TRUE(again) << again.message();
  EXPECT_EQ(ReadFile(dir / "output" / "2_c.wav"), ImageOf(kSounds[2]));
}

// The editor holds the whole file from the load on: what happens to the file afterwards does
// not reach the sounds it serves. The large bank takes the huge-page buffer.
TEST(ExportFailure, ABankChangedOnDiskAfterLoadingStillServesTheLoadedBytes) {
  const std::vector<SoundSpec> large = {{.Name = "big", .Data = Samples(3 << 20, 7)},
                                        {.Name = "small", .Data = Samples(10, 8)}};
  const struct {
    const char* Change;
    std::function<void(const fs::path&)> Apply;
  } changes[] = {
      {"overwritten in place",
       [](const fs::path& f) {
         Bytes other = ReadFile(f);
         std::fill(other.begin() + 4, other.end(), 0x55);
         WriteFile(f, other);
       }},
      {"emptied", [](const fs::path& f) { fs::resize_file(f, 0); }},
      {"removed", [](const fs::path& f) { fs::remove(f); }},
      {"replaced by another bank", [](const fs::path& f) {
         WriteFile(f, MakeBank({{.Name = "other", .Data = Samples(5, 9)}}));
       }},
  };
  for (const auto* sounds : {&kSounds, &large}) {
    for (const auto& change : changes) {
      SCOPED_TRACE(Str(change.Change, ", ", sounds->size(), " sounds"));
      TempDir dir;
      WriteFile(dir / "bank.sdt", MakeBank(*sounds));
      CSoundEditor editor;
      ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
      change.Apply(dir / "bank.sdt");
      for (std::uint32_t i = 0; i < sounds->size(); ++i) {
        const Bytes expected = ImageOf((*sounds)[i]);
        auto image = SoundImage(editor, i);
        ASSERT_TRUE(image) << image.message();
        EXPECT_TRUE(*image == expected) << "play image of sound " << i;
        ASSERT_TRUE(editor.Export(i, dir / "out"));
        EXPECT_TRUE(ReadFile(dir / "out" / Str(i, '_', (*sounds)[i].Name, ".wav")) == expected)
            << "export of sound " << i;
      }
    }
  }
}

}  // namespace
}  // namespace Orvane::Test
