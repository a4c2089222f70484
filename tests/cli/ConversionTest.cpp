// orvane-cli convert and create --convert on real files made by sox and ffmpeg.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "RunProgram.h"
#include "BankParser.h"
#include "TbSoundBank.h"
#include "TestFiles.h"
#include "Tools.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

void Make(const std::string& program, std::vector<std::string> args, const fs::path& dir) {
  if (program == "ffmpeg") args.insert(args.begin(), {"-nostdin", "-loglevel", "error", "-y"});
  ASSERT_EQ(RunTool(program, args, dir), 0) << program << " failed";
}

// A 2 s, 44,100 Hz source in `dir`, for ffmpeg to encode.
void MakeSource(const fs::path& dir) {
  Make("sox", {"-R", "-n", "-r", "44100", "-b", "16", "-c", "2", "src.wav", "synth", "2", "sine",
               "440", "sine", "660", "vol", "0.5"},
       dir);
}

std::vector<BankEntry> Sounds(const fs::path& bank) {
  const Bytes bytes = ReadFile(bank);
  auto parsed = ParseBank(bytes);
  EXPECT_TRUE(parsed) << parsed.message();
  return parsed ? parsed->Entries : std::vector<BankEntry>{};
}

std::uint32_t Frames(const TbSoundEntry& h) { return h.DataSize / (h.BitsPerSample / 8 * h.NumChannels); }

TEST(Conversion, RealFilesPackWithTheDefaultFormatAndTheirLength) {
  TempDir dir;
  MakeSource(dir.Path());
  fs::create_directory(dir / "in");
  const fs::path in = dir / "in";
  Make("sox", {"../src.wav", "1_cd.wav"}, in);
  Make("sox", {"../src.wav", "-b", "24", "-c", "1", "2_deep.wav"}, in);
  Make("sox", {"../src.wav", "-e", "floating-point", "-b", "32", "3_float.wav"}, in);
  Make("sox", {"../src.wav", "-b", "8", "4_eight.wav"}, in);
  Make("ffmpeg", {"-i", "../src.wav", "5_music.flac"}, in);
  Make("ffmpeg", {"-i", "../src.wav", "-c:a", "libvorbis", "6_vorbis.ogg"}, in);
  Make("ffmpeg", {"-i", "../src.wav", "-c:a", "libopus", "7_voice.opus"}, in);
  Make("ffmpeg", {"-i", "../src.wav", "-c:a", "libmp3lame", "-b:a", "128k", "8_cbr.mp3"}, in);
  Make("ffmpeg", {"-i", "../src.wav", "-c:a", "libmp3lame", "-q:a", "4", "-write_xing", "0", "9_vbr.mp3"}, in);
  Make("ffmpeg", {"-i", "../src.wav", "-c:a", "pcm_f32le", "-metadata", "title=tagged", "10_list.wav"}, in);

  const ProgramRun created = RunCli({"create", "bank.sdt", "--input", "in", "--convert"}, dir.Path());
  ASSERT_EQ(created.ExitCode, 0) << created.Err;
  EXPECT_EQ(created.Out, "Found 10 sounds.\nCreated SDT bank\n");
  EXPECT_NE(created.Err.find("5_music.flac: 44100 Hz 16-bit stereo -> 22050 Hz 16-bit stereo "
                             "(resampled, dithered)\n"),
            std::string::npos)
      << created.Err;

  const auto sounds = Sounds(dir / "bank.sdt");
  ASSERT_EQ(sounds.size(), 10u);
  const char* names[] = {"cd", "deep", "float", "eight", "music", "vorbis", "voice", "cbr", "vbr", "list"};
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    const TbSoundEntry& h = sounds[i].Entry;
    EXPECT_EQ(h.NameBytes(), names[i]);
    EXPECT_EQ(h.SampleRate, 44100) << names[i];
    EXPECT_EQ(h.BitsPerSample, 16) << names[i];
    EXPECT_EQ(h.NumChannels, i == 1 ? 1 : 2) << names[i];
    const bool lossy = i >= 5 && i <= 8;  // encoders pad by up to a frame or two
    EXPECT_NEAR(Frames(h), 44100.0, lossy ? 1200 : 2) << names[i];
  }
}

TEST(Conversion, FilesThatFitPackToTheSameBytesWithAndWithoutConvert) {
  TempDir dir;
  fs::create_directory(dir / "in");
  WriteFile(dir / "in/1_a.wav", MakeWave(Samples(1000, 1), 22050, 16, 2));
  WriteFile(dir / "in/2_b.wav", MakeWave(Samples(301, 2), 11025, 8, 1));
  WriteFile(dir / "in/3_c.wav", WaveBuilder().Chunk("LIST", Bytes(9, 'x')).Format(1, 32000, 24).Data(Samples(600, 3)).Build());
  ASSERT_EQ(RunCli({"create", "plain.sdt", "--input", "in"}, dir.Path()).ExitCode, 0);
  const ProgramRun converted = RunCli({"create", "converted.sdt", "--input", "in", "--convert"}, dir.Path());
  ASSERT_EQ(converted.ExitCode, 0) << converted.Err;
  EXPECT_EQ(converted.Err, "");
  EXPECT_EQ(ReadFile(dir / "converted.sdt"), ReadFile(dir / "plain.sdt"));

  // Asked for another format, every file is converted; one already in it is still copied.
  const ProgramRun forced = RunCli({"create", "mono.sdt", "--input", "in", "--convert", "--channels", "1", "--bits", "16"}, dir.Path());
  ASSERT_EQ(forced.ExitCode, 0) << forced.Err;
  const auto sounds = Sounds(dir / "mono.sdt");
  ASSERT_EQ(sounds.size(), 3u);
  for (const BankEntry& s : sounds) EXPECT_EQ(s.Entry.NumChannels, 1);
  EXPECT_EQ(sounds[1].Entry.BitsPerSample, 16);
  EXPECT_EQ(Frames(sounds[0].Entry), 250u);
}

TEST(Conversion, WithoutConvertARefusalThatConversionMendsSaysSo) {
  TempDir dir;
  fs::create_directory(dir / "in");
  WriteFile(dir / "in/1_cd.wav", MakeWave(Samples(100), 44100));
  const ProgramRun refused = RunCli({"create", "bank.sdt", "--input", "in"}, dir.Path());
  EXPECT_EQ(refused.ExitCode, 1);
  EXPECT_NE(refused.Err.find("resample it to 22,050 Hz, or use --convert"), std::string::npos) << refused.Err;
  EXPECT_FALSE(fs::exists(dir / "bank.sdt"));
}

// One rule for the rates a bank holds: a WAVE file below the lowest is not packed as it is,
// just as that rate is refused when asked for; the lowest itself is held both ways.
TEST(Conversion, AWaveFileAndARateAskedForMeetTheSameLowestRate) {
  TempDir dir;
  fs::create_directory(dir / "in");
  WriteFile(dir / "in/1_low.wav", MakeWave(Samples(100), 50));
  const std::string rule = "from 100 to 32767.5 Hz";
  const ProgramRun packed = RunCli({"create", "bank.sdt", "--input", "in"}, dir.Path());
  EXPECT_EQ(packed.ExitCode, 1);
  EXPECT_NE(packed.Err.find(rule), std::string::npos) << packed.Err;
  const ProgramRun asked = RunCli({"convert", "in/1_low.wav", "out.wav", "--rate", "50"}, dir.Path());
  EXPECT_EQ(asked.ExitCode, 2);
  EXPECT_NE(asked.Err.find(rule), std::string::npos) << asked.Err;

  WriteFile(dir / "in/1_low.wav", MakeWave(Samples(100), 100));
  EXPECT_EQ(RunCli({"create", "bank.sdt", "--input", "in"}, dir.Path()).ExitCode, 0);
  EXPECT_EQ(RunCli({"convert", "in/1_low.wav", "out.wav", "--rate", "100"}, dir.Path()).ExitCode, 0);
}

TEST(Conversion, AConvertedFileIsCheckedOnceAndWarnsOnce) {
  TempDir dir;
  fs::create_directory(dir / "in");
  // 44,100 Hz needs conversion; the data chunk claims more than follows.
  WriteFile(dir / "in/1_cut.wav", WaveBuilder().Format(1, 44100, 16).RawChunk("data", 4000, Samples(400)).Build());
  const ProgramRun run = RunCli({"create", "bank.sdt", "--input", "in", "--convert"}, dir.Path());
  ASSERT_EQ(run.ExitCode, 0) << run.Err;
  const std::string warning = "the bytes present are taken";
  const auto first = run.Err.find(warning);
  ASSERT_NE(first, std::string::npos) << run.Err;
  EXPECT_EQ(run.Err.find(warning, first + 1), std::string::npos) << run.Err;
  EXPECT_EQ(Frames(Sounds(dir / "bank.sdt").at(0).Entry), 100u);
}

TEST(Conversion, ConvertWritesWhatPackingWouldStore) {
  TempDir dir;
  MakeSource(dir.Path());
  const Bytes fitting = MakeWave(Samples(400), 22050, 16, 2);
  WriteFile(dir / "fits.wav", fitting);
  const ProgramRun copied = RunCli({"convert", "fits.wav", "out.wav"}, dir.Path());
  ASSERT_EQ(copied.ExitCode, 0) << copied.Err;
  EXPECT_EQ(ReadFile(dir / "out.wav"), fitting);
  EXPECT_EQ(copied.Out, "Wrote out.wav: 22050 Hz 16-bit stereo, 100 frames, samples copied unchanged\n");

  const ProgramRun odd = RunCli({"convert", "src.wav", "odd.wav", "--rate", "11025.5", "--bits", "8", "--channels", "1"}, dir.Path());
  ASSERT_EQ(odd.ExitCode, 0) << odd.Err;
  EXPECT_NE(odd.Err.find("src.wav: 44100 Hz 16-bit stereo -> 11025.5 Hz 8-bit mono (resampled, mixed to mono, dithered)"), std::string::npos) << odd.Err;
  const Bytes out = ReadFile(dir / "odd.wav");
  ASSERT_GE(out.size(), 44u);
  EXPECT_EQ(out[24] | (out[25] << 8), 11025);  // the WAVE header holds whole hertz
  EXPECT_EQ(out[34], 8);
  EXPECT_EQ(out[22], 1);
  EXPECT_NEAR(static_cast<double>(out.size() - 44), std::round(88200 * 11025.5 / 44100), 2);

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"convert", "src.wav", "x.wav", "--bits", "12"},
                                              {"convert", "src.wav", "x.wav", "--rate", "40000"},
                                              {"convert", "src.wav", "x.wav", "--rate", "22050.25"},
                                              {"create", "x.sdt", "--rate", "22050"}})
    EXPECT_EQ(RunCli(bad, dir.Path()).ExitCode, 2) << bad[3];
}

// Cut and scribbled-over files: a clear error naming the file, or a shorter sound; never a
// crash or a hang. Refused encodings never reach a decoder.
TEST(Conversion, DamagedAndRefusedFilesFailClearly) {
  TempDir dir;
  MakeSource(dir.Path());
  Make("ffmpeg", {"-i", "src.wav", "a.flac"}, dir.Path());
  Make("ffmpeg", {"-i", "src.wav", "-c:a", "libmp3lame", "a.mp3"}, dir.Path());
  Make("ffmpeg", {"-i", "src.wav", "-c:a", "libvorbis", "a.ogg"}, dir.Path());
  Make("sox", {"src.wav", "-e", "floating-point", "a.wav"}, dir.Path());
  Make("sox", {"src.wav", "-e", "ima-adpcm", "adpcm.wav"}, dir.Path());
  for (const std::string name : {"a.flac", "a.mp3", "a.ogg", "a.wav"}) {
    const Bytes whole = ReadFile(dir / name);
    Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 3));
    Bytes scribbled = whole;
    for (std::size_t i = 200; i < scribbled.size(); i += 97) scribbled[i] ^= 0x5A;
    for (const auto& [what, bytes] : {std::pair{"cut-", cut}, std::pair{"scribbled-", scribbled}}) {
      const std::string file = what + name;
      WriteFile(dir / file, bytes);
      const ProgramRun run = RunCli({"convert", file, "out.wav"}, dir.Path());
      EXPECT_TRUE(run.ExitCode == 0 || run.ExitCode == 1) << file << ": " << run.ExitCode << run.Err;
      if (run.ExitCode == 1) {
        EXPECT_NE(run.Err.find(file), std::string::npos) << run.Err;
      }
    }
  }
  const ProgramRun adpcm = RunCli({"convert", "adpcm.wav", "out.wav"}, dir.Path());
  EXPECT_EQ(adpcm.ExitCode, 1);
  EXPECT_NE(adpcm.Err.find("adpcm.wav: its samples are IMA ADPCM"), std::string::npos) << adpcm.Err;
}

}  // namespace
}  // namespace Orvane::Test
