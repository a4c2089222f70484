// orvane-cli under valgrind over every command that reads or writes a bank: no invalid access,
// no use of uninitialised memory, no leak.
#include <gtest/gtest.h>

#include "RunProgram.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

TEST(Valgrind, EveryCommandRunsCleanOnASampleBank) {
  TempDir dir;
  // Sounds a WAVE file carries whole, so that create gives the bank back.
  const Bytes bank = MakeBank({
      {.Name = "bell", .Data = Samples(4000, 1)},
      {.Name = "ABCDEFGHIJKLMNOP", .Data = Samples(33, 2), .SampleRate = 22050,
       .BitsPerSample = 8, .NumChannels = 2},
      {.Name = "caf\xE9", .Data = {}},
  });
  WriteFile(dir / "bank.sdt", bank);
  Bytes damaged = bank;
  PutU32(damaged, 8, 0xFFFFFF00);  // sound 1's header lies past the end
  WriteFile(dir / "damaged.sdt", damaged);

  const std::vector<std::vector<std::string>> commands = {
      {"list", "bank.sdt"},
      {"list", "bank.sdt", "--format", "csv"},
      {"list", "bank.sdt", "--format", "json"},
      {"list", "damaged.sdt"},
      {"export", "bank.sdt"},
      {"create", "copy.sdt"},
      {"check", "copy.sdt"},
  };
  for (const auto& command : commands) {
    std::vector<std::string> args = {"--error-exitcode=1", "--leak-check=full",
                                     "--errors-for-leak-kinds=definite,indirect", ORVANE_CLI_PATH};
    args.insert(args.end(), command.begin(), command.end());
    const ProgramRun run = RunProgram(ORVANE_VALGRIND_PATH, args, dir.Path());
    EXPECT_EQ(run.ExitCode, 0) << command[0] << ":\n" << run.Err;
    EXPECT_NE(run.Err.find("ERROR SUMMARY: 0 errors"), std::string::npos) << run.Err;
  }
  EXPECT_EQ(ReadFile(dir / "copy.sdt"), bank);
}

}  // namespace
}  // namespace Orvane::Test
