// orvane-cli run as a user runs it: listing, checking, and how it ends on bad input.
#include <gtest/gtest.h>

#include <system_error>

#include "RunProgram.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

// Offsets 12 and 152; a name of all 16 bytes and one in Windows-1252.
Bytes TwoSoundBank() {
  SoundSpec full{.Name = "ABCDEFGHIJKLMNOP", .Data = Samples(100, 1), .SampleRate = 22050,
                 .BitsPerSample = 8, .NumChannels = 2, .Unknown = 7, .LoopStart = 8,
                 .LoopEnd = 9};
  SoundSpec accented{.Name = "caf\xE9", .Data = Samples(50, 2)};
  return MakeBank({full, accented});
}

// The two-sound bank with sound 1's header moved past the end of the file.
Bytes BankWithHeaderPastTheEnd() {
  Bytes bank = TwoSoundBank();
  PutU32(bank, 8, 10000);
  return bank;
}

TEST(ListCommand, CsvShowsTheCellsOfEverySound) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", TwoSoundBank());
  const ProgramRun run = RunCli({"list", "bank.sdt", "--format", "csv"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Err, "");
  EXPECT_EQ(run.Out,
            "Index,Offset,HeaderSize,DataSize,Name,SampleRate,BitsPerSample,NumChannels,"
            "Unknown,LoopStart,LoopEnd\n"
            "0,0C,40,100,ABCDEFGHIJKLMNOP,22050,8,2,7,8,9\n"
            "1,98,40,50,caf\xC3\xA9,44100,16,1,0,0,0\n");
}

TEST(ListCommand, JsonIsAnArrayOfObjectsWithNumbersAndTheName) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", TwoSoundBank());
  const ProgramRun run = RunCli({"list", "bank.sdt", "--format", "json"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out,
            "[\n"
            R"(  {"Index": 0, "Offset": 12, "HeaderSize": 40, "DataSize": 100, )"
            R"("Name": "ABCDEFGHIJKLMNOP", "SampleRate": 22050, "BitsPerSample": 8, )"
            R"("NumChannels": 2, "Unknown": 7, "LoopStart": 8, "LoopEnd": 9},)"
            "\n"
            R"(  {"Index": 1, "Offset": 152, "HeaderSize": 40, "DataSize": 50, )"
            "\"Name\": \"caf\xC3\xA9\", "
            R"("SampleRate": 44100, "BitsPerSample": 16, )"
            R"("NumChannels": 1, "Unknown": 0, "LoopStart": 0, "LoopEnd": 0})"
            "\n]\n");
}

TEST(ListCommand, TableIsTheDefault) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", TwoSoundBank());
  const ProgramRun run = RunCli({"list", "bank.sdt"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out.substr(0, run.Out.find('\n')),
            "Index  Offset  HeaderSize  DataSize  Name              SampleRate  BitsPerSample  "
            "NumChannels  Unknown  LoopStart  LoopEnd");
  EXPECT_NE(run.Out.find("    1      98          40        50  caf\xC3\xA9    "),
            std::string::npos)
      << run.Out;
}

TEST(ListCommand, DamagedEntriesAreListedWithOneWarningEach) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", BankWithHeaderPastTheEnd());
  const ProgramRun run = RunCli({"list", "bank.sdt", "--format", "csv"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("\n1,2710,0,0,,0,0,0,0,0,0\n"), std::string::npos) << run.Out;
  EXPECT_EQ(run.Err.rfind("orvane-cli: warning: bank.sdt: sound 1 is damaged: ", 0), 0u)
      << run.Err;
  EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1);
}

TEST(CheckCommand, NamesEachSoundThatRunsPastTheEnd) {
  TempDir dir;
  WriteFile(dir / "good.sdt", TwoSoundBank());
  Bytes shortData = TwoSoundBank();
  PutU32(shortData, 152 + 4, 51);  // the last sound claims one byte more than the file has
  WriteFile(dir / "data.sdt", shortData);
  WriteFile(dir / "header.sdt", BankWithHeaderPastTheEnd());

  const ProgramRun good = RunCli({"check", "good.sdt"}, dir.Path());
  EXPECT_EQ(good.ExitCode, 0);
  EXPECT_EQ(good.Out, "good.sdt: 2 sounds, all inside the file\n");
  EXPECT_EQ(good.Err, "");

  const ProgramRun data = RunCli({"check", "data.sdt"}, dir.Path());
  EXPECT_EQ(data.ExitCode, 1);
  EXPECT_EQ(data.Err,
            "orvane-cli: data.sdt: sound 1: its sample data (bytes 192 to 243) runs past the "
            "end of the file (242 bytes)\n");

  const ProgramRun header = RunCli({"check", "header.sdt"}, dir.Path());
  EXPECT_EQ(header.ExitCode, 1);
  EXPECT_EQ(header.Out, "");
  EXPECT_EQ(header.Err,
            "orvane-cli: header.sdt: sound 1: its header at byte 10000 runs past the end of "
            "the file (242 bytes)\n");
}

TEST(Commands, BanksThatCannotBeLoadedEndEveryCommandWithTheReason) {
  TempDir dir;
  WriteFile(dir / "short.sdt", {1, 0, 0});
  WriteFile(dir / "empty.sdt", {0, 0, 0, 0});
  WriteFile(dir / "huge.sdt", {0xFF, 0xFF, 0xFF, 0xFF, 12, 0, 0, 0});
  const std::vector<std::pair<std::string, std::string>> banks = {
      {"short.sdt", "too short"},
      {"empty.sdt", "no sounds"},
      {"huge.sdt", "offset table"},
      // The system's own words for a missing file: 2 is both ENOENT and ERROR_FILE_NOT_FOUND.
      {"missing.sdt", std::system_category().message(2)},
  };
  for (const std::string command : {"list", "export", "check"}) {
    for (const auto& [bank, reason] : banks) {
      const ProgramRun run = RunCli({command, bank}, dir.Path());
      EXPECT_EQ(run.ExitCode, 1) << command << ' ' << bank;
      EXPECT_EQ(run.Out, "") << command << ' ' << bank;
      EXPECT_EQ(run.Err.rfind("orvane-cli: cannot open the bank " + bank, 0), 0u) << run.Err;
      EXPECT_NE(run.Err.find(reason), std::string::npos) << run.Err;
    }
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "output"));
}

TEST(Commands, UsageErrorsExitWithTwoAndHelpAndVersionWithZero) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", TwoSoundBank());
  const std::vector<std::pair<std::vector<std::string>, int>> cases = {
      {{}, 2},
      {{"frobnicate"}, 2},
      {{"list"}, 2},
      {{"list", "bank.sdt", "--format", "xml"}, 2},
      {{"list", "bank.sdt", "extra"}, 2},
      {{"export", "bank.sdt", "-1"}, 2},
      {{"export", "bank.sdt", "4294967296"}, 2},
      {{"--help"}, 0},
      {{"export", "--help"}, 0},
      {{"--version"}, 0},
  };
  for (const auto& [args, code] : cases) {
    const ProgramRun run = RunCli(args, dir.Path());
    EXPECT_EQ(run.ExitCode, code) << testing::PrintToString(args) << run.Err;
    if (code == 2) {
      EXPECT_EQ(run.Err.rfind("orvane-cli: ", 0), 0u) << run.Err;
    } else {
      EXPECT_NE(run.Out, "");
    }
  }
  EXPECT_EQ(RunCli({"--version"}, dir.Path()).Out, "orvane-cli 1.0.1\n");
  // The hidden --completion leaves no trace in the help, not even a blank line.
  const std::string help = RunCli({"--help"}, dir.Path()).Out;
  EXPECT_EQ(help.find("completion"), std::string::npos) << help;
  EXPECT_EQ(help.find("\n\n\n"), std::string::npos) << help;
  EXPECT_FALSE(std::filesystem::exists(dir / "output"));
}

}  // namespace
}  // namespace Orvane::Test
