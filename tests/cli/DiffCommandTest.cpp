// orvane-cli diff and replace --from-bank, as scripts use them.
#include <gtest/gtest.h>

#include "RunProgram.h"
#include "SoundBytes.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

class DiffCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<SoundSpec> ours = {
        {.Name = "a", .Data = Samples(40, 1), .HeaderSize = 44},
        {.Name = "b", .Data = Samples(60, 2), .HeaderSize = 48},
        {.Name = "c", .Data = Samples(20, 3)}};
    std::vector<SoundSpec> theirs = ours;
    theirs[1].Name = std::string("bee\0after", 9);  // a name with bytes after its terminator
    theirs[1].Data = Samples(60, 7);
    theirs[1].LoopEnd = 30;
    theirs[2].Unknown = 5;
    theirs.push_back({.Name = "d", .Data = Samples(10, 4)});
    mine_ = MakePackedBank(ours);
    theirs_ = MakePackedBank(theirs);
    WriteFile(dir_ / "mine.sdt", mine_);
    WriteFile(dir_ / "theirs.sdt", theirs_);
  }
  ProgramRun Run(const std::vector<std::string>& args) { return RunCli(args, dir_.Path()); }

  TempDir dir_;
  Bytes mine_, theirs_;
};

TEST_F(DiffCommand, ItListsWhatDiffersAndExitsAsDiffDoes) {
  ProgramRun run = Run({"diff", "mine.sdt", "theirs.sdt", "--format", "csv"});
  EXPECT_EQ(run.ExitCode, 1) << run.Err;
  EXPECT_EQ(run.Out,
            "Index,Change,Fields,NameA,NameB\n"
            "1,changed,Name;LoopEnd;Samples,b,bee\n"
            "2,changed,Unknown,c,c\n"
            "3,added,,,d\n");
  run = Run({"diff", "theirs.sdt", "mine.sdt", "--format", "json"});
  EXPECT_NE(run.Out.find(R"({"Index": 3, "Change": "removed", "Fields": "", "NameA": "d", "NameB": null})"),
            std::string::npos)
      << run.Out;
  EXPECT_EQ(Run({"diff", "mine.sdt", "mine.sdt"}).ExitCode, 0);
  EXPECT_EQ(Run({"diff", "mine.sdt", "missing.sdt"}).ExitCode, 2);
}

TEST_F(DiffCommand, FromBankTakesWholeSoundsAndLeavesTheRest) {
  ProgramRun run = Run({"replace", "mine.sdt", "--from-bank", "theirs.sdt", "1", "--output", "one.sdt"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  std::vector<Bytes> expected = SoundBytes(mine_);
  expected[1] = SoundBytes(theirs_)[1];
  EXPECT_EQ(SoundBytes(ReadFile(dir_ / "one.sdt")), expected) << "every header byte, and the samples";

  ASSERT_EQ(Run({"replace", "mine.sdt", "--from-bank", "theirs.sdt", "--output", "all.sdt"}).ExitCode, 0);
  expected[2] = SoundBytes(theirs_)[2];
  EXPECT_EQ(SoundBytes(ReadFile(dir_ / "all.sdt")), expected) << "every sound in both that differs";

  Bytes damaged = theirs_;
  damaged.resize(damaged.size() - 1);
  WriteFile(dir_ / "damaged.sdt", damaged);
  for (const std::vector<std::string>& refused :
       {std::vector<std::string>{"replace", "mine.sdt", "--from-bank", "theirs.sdt", "3"},
        std::vector<std::string>{"replace", "mine.sdt", "--from-bank", "damaged.sdt", "3"}}) {
    EXPECT_EQ(Run(refused).ExitCode, 1);
    EXPECT_EQ(ReadFile(dir_ / "mine.sdt"), mine_);
  }
}

}  // namespace
}  // namespace Orvane::Test
