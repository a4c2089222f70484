// orvane-cli replace --from: a folder of exported and edited sounds goes back into its bank.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "PathUtf8.h"
#include "RunProgram.h"
#include "SoundBytes.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

class ReplaceFrom : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<SoundSpec> sounds;
    const std::uint16_t rates[] = {44100, 22050, 32000, 44100};  // stored: twice the hertz
    for (std::uint8_t i = 0; i < 4; ++i)
      sounds.push_back({.Name = "s" + std::to_string(i), .Data = Samples(2000, i + 1),
                        .SampleRate = rates[i], .BitsPerSample = std::uint8_t(i == 1 ? 8 : 16),
                        .NumChannels = std::uint8_t(i == 2 ? 2 : 1), .Unknown = 7u + i,
                        .LoopStart = 100, .LoopEnd = 1500, .HeaderSize = 48});
    bank_ = MakePackedBank(sounds);
    WriteFile(dir_ / "b.sdt", bank_);
    ASSERT_EQ(Run({"export", "b.sdt", "--output", "out"}).ExitCode, 0);
  }
  ProgramRun Run(const std::vector<std::string>& args) { return RunCli(args, dir_.Path()); }
  void Sox(const std::string& args) {
    const std::string command = "(cd '" + ShellPath(dir_.Path()) + "' && sox " + args + ") >/dev/null 2>&1";
    ASSERT_EQ(RunShell(command), 0) << command;
  }

  TempDir dir_;
  Bytes bank_;
};

TEST_F(ReplaceFrom, OnlyTheEditedFilesReplaceTheirSoundsKeepingFieldsAndExtraBytes) {
  Sox("out/1_s1.wav out/quieter.wav vol 0.5 && mv out/quieter.wav out/1_s1.wav");
  Sox("out/2_s2.wav -t flac out/2_s2.FLAC rate 44100 && rm out/2_s2.wav");
  const ProgramRun run = Run({"replace", "b.sdt", "--from", "out"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out,
            "Replaced sound 1 (s1) with 1_s1.wav\nReplaced sound 2 (s2) with 2_s2.FLAC\n"
            "Replaced 2 sounds, 2 unchanged; saved b.sdt\n");

  const std::vector<Bytes> before = SoundBytes(bank_), after = SoundBytes(ReadFile(dir_ / "b.sdt"));
  ASSERT_EQ(after.size(), 4u);
  EXPECT_EQ(after[0], before[0]);
  EXPECT_EQ(after[3], before[3]);
  for (const std::size_t i : {1u, 2u}) {
    const Bytes& was = before[i];
    const Bytes& now = after[i];
    EXPECT_TRUE(std::equal(was.begin(), was.begin() + 4, now.begin())) << "HeaderSize of " << i;
    EXPECT_TRUE(std::equal(was.begin() + 8, was.begin() + 48, now.begin() + 8))
        << "name, format, fields and extra bytes of " << i;
    EXPECT_NE(Bytes(now.begin() + 48, now.end()), Bytes(was.begin() + 48, was.end()));
  }
  // The quieter file is already in the sound's format: its samples go in as they are.
  const Bytes quieter = ReadFile(dir_ / "out/1_s1.wav");
  EXPECT_EQ(Bytes(after[1].begin() + 48, after[1].end()), Bytes(quieter.end() - 2000, quieter.end()));
  // 500 stereo frames at the sound's 16,000 Hz, there and back through 44,100 Hz.
  EXPECT_NEAR(static_cast<double>(after[2].size() - 48), 2000, 2 * 4);
}

TEST_F(ReplaceFrom, AnUntouchedExportLeavesTheBankUnwritten) {
  // Whole seconds, which every system keeps.
  const auto past = std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(1));
  fs::last_write_time(dir_ / "b.sdt", past);
  const ProgramRun run = Run({"replace", "b.sdt", "--from", "out"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Out, "Replaced 0 sounds, 4 unchanged; b.sdt is left as it was\n");
  EXPECT_EQ(ReadFile(dir_ / "b.sdt"), bank_);
  EXPECT_EQ(fs::last_write_time(dir_ / "b.sdt"), past);
}

TEST_F(ReplaceFrom, ARefusedFolderWritesNothingAndNamesItsFiles) {
  const Bytes sound = MakeWave(Samples(2000, 99));  // would replace sound 0 on its own
  const Bytes text = {'n', 'o', 't', 'e', 's'};
  const struct {
    std::string Folder;
    std::vector<std::pair<std::string, Bytes>> Files;
    std::vector<std::string> Named;
  } cases[] = {
      {"past", {{"0_ok.wav", sound}, {"4_x.wav", sound}}, {"4_x.wav"}},
      {"twice", {{"1_a.wav", sound}, {"1_b.flac", sound}}, {"1_a.wav", "1_b.flac"}},
      {"none", {{"notes.txt", text}, {"x_1.wav", sound}}, {"none"}},
      {"text", {{"0_ok.wav", sound}, {"2_x.wav", text}}, {"2_x.wav"}},
  };
  for (const auto& c : cases) {
    fs::create_directory(dir_ / c.Folder);
    for (const auto& [name, bytes] : c.Files) WriteFile(dir_ / c.Folder / name, bytes);
    for (const std::vector<std::string>& output : {std::vector<std::string>{}, {"--output", "new.sdt"}}) {
      std::vector<std::string> args = {"replace", "b.sdt", "--from", c.Folder};
      args.insert(args.end(), output.begin(), output.end());
      const ProgramRun run = Run(args);
      EXPECT_EQ(run.ExitCode, 1) << c.Folder << ": " << run.Out;
      EXPECT_TRUE(run.Out.empty()) << c.Folder;
      EXPECT_EQ(run.Err.rfind("orvane-cli: ", 0), 0u) << run.Err;
      for (const std::string& named : c.Named)
        EXPECT_NE(run.Err.find(named), std::string::npos) << c.Folder << ": " << run.Err;
    }
  }
  EXPECT_EQ(ReadFile(dir_ / "b.sdt"), bank_);
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir_.Path()))
    if (entry.is_regular_file()) files.push_back(entry.path().filename());
  EXPECT_EQ(files, std::vector<fs::path>{"b.sdt"}) << "no --output target, no temporary file";
}

}  // namespace
}  // namespace Orvane::Test
