// orvane-cli replace, set, insert and remove, as scripts use them.
#include <gtest/gtest.h>

#include "RunProgram.h"
#include "BankParser.h"
#include "TbSoundBank.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

class EditCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    bank_ = MakeBank({{"one", Samples(40, 1)}, {"two", Samples(60, 2), 22050, 8}});
    WriteFile(dir_ / "b.sdt", bank_);
    WriteFile(dir_ / "new.wav", MakeWave(Samples(80, 3), 11025, 16));
  }
  ProgramRun Run(const std::vector<std::string>& args) { return RunCli(args, dir_.Path()); }
  TbSoundBank Saved(const std::string& name) {
    auto parsed = ParseBank(ReadFile(dir_ / name));
    EXPECT_TRUE(parsed) << parsed.message();
    return parsed ? *parsed : TbSoundBank{};
  }

  TempDir dir_;
  Bytes bank_;
};

TEST_F(EditCommands, EachEditSavesAndSaysWhatItDidInOneLine) {
  ProgramRun run = Run({"replace", "b.sdt", "1", "new.wav"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out, "Replaced sound 1 (two) with new.wav; saved b.sdt\n");
  EXPECT_NE(run.Err.find("new.wav: 11025 Hz 16-bit mono -> 11025 Hz 8-bit mono"), std::string::npos)
      << run.Err;
  EXPECT_EQ(Saved("b.sdt").Entries[1].Entry.DataSize, 40u) << "converted to the sound's 8 bits";

  ASSERT_EQ(Run({"set", "b.sdt", "0", "--name", "caf\xC3\xA9", "--loop-end", "4294967295"}).ExitCode, 0);
  ASSERT_EQ(Run({"insert", "b.sdt", "0", "new.wav", "--output", "c.sdt"}).ExitCode, 0);
  const TbSoundBank inserted = Saved("c.sdt");
  ASSERT_EQ(inserted.Count, 3u);
  EXPECT_EQ(inserted.Entries[0].Entry.NameBytes(), "new");
  EXPECT_EQ(inserted.Entries[1].Entry.NameBytes(), "caf\xE9");
  EXPECT_EQ(inserted.Entries[1].Entry.LoopEnd, 4294967295u);
  EXPECT_EQ(Saved("b.sdt").Count, 2u) << "--output leaves the bank as it was";

  ASSERT_EQ(Run({"remove", "c.sdt", "2", "0"}).ExitCode, 0);
  EXPECT_EQ(Saved("c.sdt").Entries.at(0).Entry.NameBytes(), "caf\xE9");
}

TEST_F(EditCommands, FailuresWriteNothingAndUsageErrorsExitTwo) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"replace", "b.sdt", "2", "new.wav"},
        {"replace", "b.sdt", "0", "missing.flac"},
        {"set", "b.sdt", "0", "--name", "seventeen-bytes!!"},
        {"insert", "b.sdt", "3", "new.wav"},
        {"remove", "b.sdt", "0", "1"},
        {"remove", "b.sdt", "1", "1"}}) {
    const ProgramRun run = Run(args);
    EXPECT_EQ(run.ExitCode, 1) << args[0] << ' ' << args[2];
    EXPECT_TRUE(run.Out.empty());
    EXPECT_EQ(run.Err.rfind("orvane-cli: ", 0), 0u) << run.Err;
  }
  EXPECT_EQ(ReadFile(dir_ / "b.sdt"), bank_);
  EXPECT_EQ(Run({"set", "b.sdt", "0"}).ExitCode, 2);
  EXPECT_EQ(Run({"set", "b.sdt", "0", "--unknown", "4294967296"}).ExitCode, 2);
  EXPECT_EQ(Run({"set", "b.sdt", "0", "--loop-start", "-1"}).ExitCode, 2);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}), 2)
      << "no temporary file is left";
}

}  // namespace
}  // namespace Orvane::Test
