// orvane-cli create --like: the round trip that gives back what WAVE files cannot carry.
#include <gtest/gtest.h>

#include "RunProgram.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

TEST(CreateLike, ExportThenCreateLikeTheBankGivesItBack) {
  TempDir dir;
  const Bytes bank = MakeBank({{.Name = "a/b", .Data = Samples(10), .SampleRate = 22051, .LoopEnd = 9}});
  WriteFile(dir / "bank.sdt", bank);
  ASSERT_EQ(RunCli({"export", "bank.sdt"}, dir.Path()).ExitCode, 0);
  const ProgramRun created = RunCli({"create", "copy.sdt", "--like", "bank.sdt"}, dir.Path());
  EXPECT_EQ(created.ExitCode, 0) << created.Err;
  EXPECT_EQ(created.Out, "Found 1 sounds.\nCreated SDT bank\n");
  EXPECT_EQ(ReadFile(dir / "copy.sdt"), bank);
}

}  // namespace
}  // namespace Orvane::Test
