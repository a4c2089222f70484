// orvane-cli levels, and replace --match-loudness measured with it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <regex>
#include <sstream>

#include "ByteOrder.h"
#include "PathUtf8.h"
#include "RunProgram.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Test {
namespace {

// One second of a 997 Hz tone at `level` of full scale, 22,050 Hz 16-bit mono.
Bytes Tone(double level) {
  Bytes samples(2 * 22050);
  for (std::size_t i = 0; i < 22050; ++i)
    StoreU16(&samples[2 * i], static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(
                                  32768 * level * std::sin(2 * std::numbers::pi * 997 * i / 22050)))));
  return samples;
}

class Levels : public ::testing::Test {
 protected:
  void SetUp() override {
    // A tone at half and one at a tenth of full scale, and 0.1 s of 8-bit silence.
    WriteFile(dir_ / "b.sdt", MakeBank({{"half", Tone(0.5)}, {"tenth", Tone(0.1)},
                                        {"silent", Bytes(2205, 128), 2 * 22050, 8}}));
  }
  ProgramRun Run(const std::vector<std::string>& args) { return RunCli(args, dir_.Path()); }
  void Sox(const std::string& args) {
    const std::string command = "cd '" + ShellPath(dir_.Path()) + "' && sox -R -n -r 22050 -c 1 -b 16 " + args;
    ASSERT_EQ(RunShell(command), 0) << command;
  }
  // Sound `index`'s peak and loudness, as levels writes them in CSV.
  std::pair<double, double> PeakAndLoudness(const std::string& bank, int index) {
    const ProgramRun run = Run({"levels", bank, std::to_string(index), "--format", "csv"});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    std::istringstream row(run.Out.substr(run.Out.find('\n') + 1));
    std::string cell;
    for (int i = 0; i < 4; ++i) std::getline(row, cell, ',');
    const double peak = std::stod(cell);
    std::getline(row, cell);
    return {peak, std::stod(cell)};
  }

  TempDir dir_;
};

TEST_F(Levels, CsvListsEachSoundsLengthPeakAndLoudnessAndSilenceIsNoNumber) {
  const ProgramRun csv = Run({"levels", "b.sdt", "--format", "csv"});
  ASSERT_EQ(csv.ExitCode, 0) << csv.Err;
  // A steady sine is 3.0 dB below its peak in loudness; that one decimal may fall either side.
  const std::regex rows(
      "Index,Name,Seconds,PeakDBFS,LoudnessLUFS\n"
      "0,half,1\\.000,-6\\.0,(-\\d+\\.\\d)\n"
      "1,tenth,1\\.000,-20\\.0,(-\\d+\\.\\d)\n"
      "2,silent,0\\.100,-inf,-inf\n");
  std::smatch loudness;
  ASSERT_TRUE(std::regex_match(csv.Out, loudness, rows)) << csv.Out;
  EXPECT_NEAR(std::stod(loudness[1]), -9.03, 0.15);
  EXPECT_NEAR(std::stod(loudness[2]), -23.01, 0.15);

  const ProgramRun json = Run({"levels", "b.sdt", "2", "--format", "json"});
  ASSERT_EQ(json.ExitCode, 0) << json.Err;
  EXPECT_NE(json.Out.find("\"PeakDBFS\": null"), std::string::npos) << json.Out;
  EXPECT_NE(json.Out.find("\"LoudnessLUFS\": null"), std::string::npos) << json.Out;
  EXPECT_NE(Run({"levels", "b.sdt", "2"}).Out.find("-inf"), std::string::npos) << "the table";
}

// Noise brought down to a tone's loudness, through either form of replace; and noise far too
// quiet for the loud tone, whose gain stops at the peak limit and says so.
TEST_F(Levels, MatchingLoudnessReachesTheReplacedSoundsOrStopsAtMinusOneDbfs) {
  Sox("loud.wav synth 3 pinknoise vol 0.5");
  Sox("faint.wav synth 3 pinknoise vol 0.02");
  const struct { std::vector<std::string> args; int index; bool limited; } cases[] = {
      {{"replace", "b.sdt", "1", "loud.wav"}, 1, false},
      {{"replace", "b.sdt", "--from", "from"}, 1, false},
      {{"replace", "b.sdt", "0", "faint.wav"}, 0, true},
  };
  std::filesystem::create_directory(dir_ / "from");
  std::filesystem::copy_file(dir_ / "loud.wav", dir_ / "from" / "1_loud.wav");
  for (const auto& c : cases) {
    const double target = PeakAndLoudness("b.sdt", c.index).second;
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"--match-loudness", "--output", "new.sdt"});
    const ProgramRun run = Run(args);
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const auto [peak, loudness] = PeakAndLoudness("new.sdt", c.index);
    const bool warned = run.Err.find("its gain stops at a peak of -1.0 dBFS, ") != std::string::npos &&
                        run.Err.find(" LU short of the loudness it was to match") != std::string::npos;
    EXPECT_EQ(warned, c.limited) << args[2] << ": " << run.Err;
    if (c.limited) {
      EXPECT_NEAR(peak, -1.0, 0.1) << args[2];
      EXPECT_LT(loudness, target - 0.5) << args[2];
    } else {
      EXPECT_NEAR(loudness, target, 0.5) << args[2];
    }
  }
}

// A file already above the peak limit, matched to its own loudness: no gain is given or taken.
TEST_F(Levels, MatchingNeverCutsASoundThatPeaksAboveTheLimitBelowItsTarget) {
  Sox("hot.wav synth 3 sine 440 vol 0.99");
  ASSERT_EQ(Run({"replace", "b.sdt", "1", "hot.wav", "--output", "hot.sdt"}).ExitCode, 0);
  const ProgramRun run =
      Run({"replace", "hot.sdt", "1", "hot.wav", "--match-loudness", "--output", "same.sdt"});
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  EXPECT_EQ(run.Err.find("gain stops"), std::string::npos) << run.Err;
  EXPECT_NEAR(PeakAndLoudness("same.sdt", 1).first, PeakAndLoudness("hot.sdt", 1).first, 0.05);
}

}  // namespace
}  // namespace Orvane::Test
