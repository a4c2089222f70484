// Bank creation when the world fails under it: the disk fills up, or a WAVE file changes between
// the listing and the reading. The target stays as it was, nothing is left behind, and the
// reason is reported instead of "Created SDT bank".
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>

#include "ChildProcess.h"
#include "RunProgram.h"
#include "SoundEditor.h"
#include "TestFiles.h"
#include "Text.h"

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

constexpr std::uint64_t kRoom = 64 * 1024;  // far less than the bank needs
const Bytes kOldTarget = {'o', 'l', 'd', ' ', 'b', 'a', 'n', 'k'};

std::vector<std::string> FileNames(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

struct FullDisk {
  const char* Name;
  const char* Reason;  // the system's words for it
  std::function<bool(const fs::path& disk)> Stage;
};

const FullDisk kFullDisks[] = {
    {"a full file system", "No space left on device",
     [](const fs::path& disk) { return MountPrivateTmpfs(disk, "size=" + std::to_string(kRoom)); }},
    // Where mounting is refused: every write past the limit fails, the way a full disk does.
    {"a file size limit", "File too large",
     [](const fs::path&) {
       std::signal(SIGXFSZ, SIG_IGN);
       const rlimit limit{kRoom, kRoom};
       return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
     }},
};

TEST(CreateFailure, TheDiskFillsUpWhileTheBankIsWritten) {
  for (const FullDisk& full : kFullDisks) {
    SCOPED_TRACE(full.Name);
    TempDir dir;
    fs::create_directories(dir / "output");
    for (int i = 0; i < 4; ++i)
      WriteFile(dir / "output" / (std::to_string(i) + "_s.wav"), MakeWave(Samples(32 * 1024, i)));
    fs::create_directory(dir / "disk");

    const ChildOutcome outcome = RunInChild([&] {
      if (!full.Stage(dir / "disk"))
        SkipChild(Str(full.Name, " cannot be staged here: ", std::strerror(errno)));
      WriteFile(dir / "disk" / "bank.sdt", kOldTarget);
      const ProgramRun run = RunCli({"create", "disk/bank.sdt"}, dir.Path());
      EXPECT_EQ(run.ExitCode, 1);
      EXPECT_EQ(run.Out, "Found 4 sounds.\n");
      EXPECT_NE(run.Err.find("disk/bank.sdt"), std::string::npos) << run.Err;
      EXPECT_NE(run.Err.find(full.Reason), std::string::npos) << run.Err;
      EXPECT_EQ(ReadFile(dir / "disk" / "bank.sdt"), kOldTarget);
      EXPECT_EQ(FileNames(dir / "disk"), std::vector<std::string>{"bank.sdt"});
    });
    EXPECT_NE(outcome, ChildOutcome::Failed);
  }
}

// The engine says "Found N sounds." between listing the folder and reading the samples: the
// reporter changes a file at that very moment.
TEST(CreateFailure, AWaveFileThatChangesAfterTheListingStopsIt) {
  const struct {
    const char* Change;
    std::function<void(const fs::path&)> Apply;
    ErrorKind Kind;
  } changes[] = {
      {"removed", [](const fs::path& f) { fs::remove(f); }, ErrorKind::Io},
      {"cut inside its header", [](const fs::path& f) { fs::resize_file(f, 20); }, ErrorKind::ChangedOnDisk},
      {"cut inside its samples", [](const fs::path& f) { fs::resize_file(f, 44 + 50); }, ErrorKind::ChangedOnDisk},
      {"replaced by a folder", [](const fs::path& f) { fs::remove(f), fs::create_directory(f); }, ErrorKind::Io},
  };
  for (const auto& change : changes) {
    SCOPED_TRACE(change.Change);
    TempDir dir;
    fs::create_directories(dir / "output");
    for (const char* name : {"0_a.wav", "1_b.wav", "2_c.wav"})
      WriteFile(dir / "output" / name, MakeWave(Samples(100)));
    WriteFile(dir / "bank.sdt", kOldTarget);
    std::string progress;
    CSoundEditor editor;
    const Reporter report = [&](const Report& line) {
      if (line.Kind != ReportKind::Progress) return;
      progress += line.Line;
      if (line.Line.rfind("Found ", 0) == 0) change.Apply(dir / "output" / "1_b.wav");
    };

    const Status created = CSoundEditor::CreateBank(dir / "output", dir / "bank.sdt", {}, report);
    EXPECT_EQ(created.kind(), change.Kind) << created.message();
    EXPECT_NE(created.message().find("1_b.wav"), std::string::npos) << created.message();
    EXPECT_EQ(progress, "Found 3 sounds.\n");
    EXPECT_EQ(ReadFile(dir / "bank.sdt"), kOldTarget);
    EXPECT_EQ(FileNames(dir.Path()), (std::vector<std::string>{"bank.sdt", "output"}));
  }
}

}  // namespace
}  // namespace Orvane::Test
