// orvane-cli export and create: the round trip from a bank to WAVE files and back.
#include <gtest/gtest.h>

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "PathUtf8.h"
#include "RunProgram.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

// Every file below `root`, relative to it, sorted.
std::vector<std::string> FilesUnder(const fs::path& root) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root))
    if (!entry.is_directory()) files.push_back(PathToUtf8(fs::relative(entry.path(), root).generic_u8string()));
  std::sort(files.begin(), files.end());
  return files;
}

TEST(Packing, ExportThenCreateGivesTheSameBankByteForByte) {
  TempDir dir;
  // What a WAVE file can carry: HeaderSize 40, even rates, Unknown and loop points 0.
  const Bytes bank = MakeBank({
      {.Name = "caf\xE9", .Data = Samples(100, 1)},
      {.Name = "ABCDEFGHIJKLMNOP", .Data = Samples(51, 2), .SampleRate = 22050,
       .BitsPerSample = 8, .NumChannels = 2},
      {.Name = "", .Data = Samples(0, 3)},
      {.Name = "ABCDEFGHIJKLMNOP", .Data = Samples(300, 4), .SampleRate = 16000},
  });
  WriteFile(dir / "bank.sdt", bank);

  const ProgramRun exported = RunCli({"export", "bank.sdt"}, dir.Path());
  ASSERT_EQ(exported.ExitCode, 0) << exported.Err;
  EXPECT_EQ(exported.Err, "");
  EXPECT_EQ(FilesUnder(dir / "output"),
            (std::vector<std::string>{"0_caf\xC3\xA9.wav", "1_ABCDEFGHIJKLMNOP.wav", "2_.wav",
                                      "3_ABCDEFGHIJKLMNOP.wav"}));

  const ProgramRun created = RunCli({"create", "copy.sdt"}, dir.Path());
  EXPECT_EQ(created.ExitCode, 0) << created.Err;
  EXPECT_EQ(created.Out, "Found 4 sounds.\nCreated SDT bank\n");
  EXPECT_EQ(created.Err, "");
  EXPECT_EQ(ReadFile(dir / "copy.sdt"), bank);
}

TEST(Packing, ExportAndCreateTakeOtherFolders) {
  TempDir dir;
  const Bytes bank = MakeBank({{.Name = "a", .Data = Samples(10)}});
  WriteFile(dir / "bank.sdt", bank);
  ASSERT_EQ(RunCli({"export", "bank.sdt", "--output", "sub/wav"}, dir.Path()).ExitCode, 0);
  EXPECT_TRUE(fs::exists(dir / "sub/wav/0_a.wav"));
  ASSERT_EQ(RunCli({"create", "copy.sdt", "--input", "sub/wav"}, dir.Path()).ExitCode, 0);
  EXPECT_EQ(ReadFile(dir / "copy.sdt"), bank);
  EXPECT_FALSE(fs::exists(dir / "output"));
}

TEST(Packing, AnIndexPastTheEndIsReportedAndTheOthersAreExported) {
  TempDir dir;
  WriteFile(dir / "bank.sdt", MakeBank({{.Name = "a", .Data = Samples(10)},
                                        {.Name = "b", .Data = Samples(20)}}));
  const ProgramRun run = RunCli({"export", "bank.sdt", "1", "2", "0"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err,
            "orvane-cli: cannot export: there is no sound 2: the bank has 2 sounds, numbered 0 "
            "to 1 (at bank.sdt)\n");
  EXPECT_EQ(FilesUnder(dir / "output"), (std::vector<std::string>{"0_a.wav", "1_b.wav"}));
}

TEST(Packing, DamagedSoundsAreReportedAndTheOthersAreExported) {
  TempDir dir;
  Bytes bank = MakeBank({{.Name = "a", .Data = Samples(10)}, {.Name = "b", .Data = Samples(20)},
                         {.Name = "c", .Data = Samples(30)}});
  PutU32(bank, 8, 5000);  // sound 1's header lies past the end
  WriteFile(dir / "bank.sdt", bank);
  const ProgramRun run = RunCli({"export", "bank.sdt"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Err.rfind("orvane-cli: cannot export: sound 1 is damaged: ", 0), 0u) << run.Err;
  EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
  EXPECT_EQ(FilesUnder(dir / "output"), (std::vector<std::string>{"0_a.wav", "2_c.wav"}));
}

TEST(Packing, NamesNeverWriteOutsideTheOutputFolder) {
  TempDir dir;
  fs::create_directory(dir / "work");
  WriteFile(dir / "work/bank.sdt", MakeBank({{.Name = "../../evil", .Data = Samples(4)},
                                             {.Name = "..", .Data = Samples(4)},
                                             {.Name = "/etc/x", .Data = Samples(4)}}));
  const ProgramRun run = RunCli({"export", "bank.sdt"}, dir / "work");
  EXPECT_EQ(run.ExitCode, 0) << run.Err;
#ifdef _WIN32
  const char* kDots = "work/output/1_._.wav";  // Windows drops a name's trailing dot
#else
  const char* kDots = "work/output/1_...wav";
#endif
  EXPECT_EQ(FilesUnder(dir.Path()),
            (std::vector<std::string>{"work/bank.sdt", "work/output/0_.._.._evil.wav",
                                      kDots, "work/output/2__etc_x.wav"}));
}

TEST(Packing, AFailedCreateLeavesTheTargetUntouched) {
  TempDir dir;
  fs::create_directory(dir / "output");
  WriteFile(dir / "output/0_a.wav", MakeWave(Samples(10)));
  WriteFile(dir / "output/_a.wav", MakeWave(Samples(10)));  // no number
  const Bytes before = {1, 2, 3, 4, 5};
  WriteFile(dir / "bank.sdt", before);

  const ProgramRun run = RunCli({"create", "bank.sdt"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(run.Err.rfind(NativePath("orvane-cli: output/_a.wav: "), 0), 0u) << run.Err;
  EXPECT_EQ(ReadFile(dir / "bank.sdt"), before);
  EXPECT_EQ(FilesUnder(dir.Path()),
            (std::vector<std::string>{"bank.sdt", "output/0_a.wav", "output/_a.wav"}));

  const ProgramRun noFolder = RunCli({"create", "bank.sdt", "--input", "nowhere"}, dir.Path());
  EXPECT_EQ(noFolder.ExitCode, 1);
  EXPECT_NE(noFolder.Err.find("nowhere"), std::string::npos) << noFolder.Err;
  EXPECT_EQ(ReadFile(dir / "bank.sdt"), before);
}

TEST(Packing, WarningsOfCreateGoToStandardErrorWithThePrefix) {
  TempDir dir;
  fs::create_directory(dir / "output");
  WriteFile(dir / "output/1_a.wav", MakeWave(Samples(10)));
  WriteFile(dir / "output/01_b.wav", MakeWave(Samples(10)));  // the same number
  const ProgramRun run = RunCli({"create", "bank.sdt"}, dir.Path());
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Out, "Found 1 sounds.\nCreated SDT bank\n");
  EXPECT_EQ(run.Err.rfind(NativePath("orvane-cli: warning: output/"), 0), 0u) << run.Err;
  EXPECT_EQ(std::count(run.Err.begin(), run.Err.end(), '\n'), 1) << run.Err;
}

// WAVE files as a common editor writes them, with the chunks and formats it chooses.
TEST(Packing, WaveFilesWrittenBySoxArePacked) {
  TempDir dir;
  if (RunTool("sox", {"--version"}, dir.Path()) != 0) GTEST_SKIP() << "no sox";
  struct Case {
    std::string Bits;
    std::string Channels;
    std::uint32_t DataSize;  // of half a second at 22,050 Hz
  };
  const std::vector<Case> cases = {
      {"16", "1", 22050},
      {"8", "1", 11025},
      {"16", "2", 44100},
      {"24", "1", 33075},  // WAVE_FORMAT_EXTENSIBLE with a fact chunk, odd data size
  };
  fs::create_directory(dir / "output");
  std::ostringstream expected;
  expected << "Index,Offset,HeaderSize,DataSize,Name,SampleRate,BitsPerSample,NumChannels,"
              "Unknown,LoopStart,LoopEnd\n";
  std::uint32_t offset = 4 + 4 * static_cast<std::uint32_t>(cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    ASSERT_EQ(RunTool("sox",
                      {"-n", "-r", "22050", "-b", c.Bits, "-c", c.Channels,
                       "output/" + std::to_string(i) + "_s.wav", "synth", "0.5", "sine", "440"},
                      dir.Path()),
              0);
    expected << i << ',' << std::uppercase << std::hex << std::setw(2) << std::setfill('0')
             << offset << std::dec << ",40," << c.DataSize << ",s,44100," << c.Bits << ','
             << c.Channels << ",0,0,0\n";
    offset += 40 + c.DataSize;
  }

  const ProgramRun created = RunCli({"create", "bank.sdt"}, dir.Path());
  ASSERT_EQ(created.ExitCode, 0) << created.Err;
  EXPECT_EQ(created.Out, "Found 4 sounds.\nCreated SDT bank\n");

  const ProgramRun listed = RunCli({"list", "bank.sdt", "--format", "csv"}, dir.Path());
  EXPECT_EQ(listed.ExitCode, 0) << listed.Err;
  EXPECT_EQ(listed.Out, expected.str());
}

}  // namespace
}  // namespace Orvane::Test
