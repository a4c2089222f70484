#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "BankWriter.h"
#include "PathUtf8.h"
#include "SoundEditor.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
using tf::MakeWave;
namespace fs = std::filesystem;

class CreateBank : public ::testing::Test {
 protected:
  CreateBank() {
    fs::create_directory(dir_ / "output");
    report_ = [this](const Report& report) {
      (report.Kind == ReportKind::Progress ? progress_ : warnings_) += report.Line;
    };
  }
  void Put(const std::string& name, const Bytes& bytes) {
    tf::WriteFile(dir_ / "output" / name, bytes);
  }
  // Creates the bank and loads it back.
  void CreateAndLoad() {
    const Status s = CSoundEditor::CreateBank(fs::current_path() / "output", dir_ / "new.sdt", {}, report_);
    ASSERT_TRUE(s) << s.message();
    ASSERT_TRUE(loaded_.LoadBank(dir_ / "new.sdt"));
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (std::uint32_t i = 0; i < loaded_.Count(); ++i) names.push_back(loaded_.Entry(i).Entry.NameBytes());
    return names;
  }
  Status ExpectFailureNaming(const std::string& what) {
    tf::WriteFile(dir_ / "new.sdt", Bytes{9, 9, 9});
    const Status s = CSoundEditor::CreateBank(fs::current_path() / "output", dir_ / "new.sdt", {}, report_);
    EXPECT_FALSE(s);
    EXPECT_NE(s.message().find(what), std::string::npos) << s.message();
    EXPECT_EQ(tf::ReadFile(dir_ / "new.sdt"), (Bytes{9, 9, 9}));
    EXPECT_EQ(progress_.find("Created SDT bank"), std::string::npos);
    for (const auto& e : fs::directory_iterator(dir_.Path()))
      EXPECT_NE(e.path().extension(), ".tmp") << "left behind: " << e.path();
    return s;
  }

  tf::TempDir dir_;
  tf::ScopedWorkingDirectory cwd_{dir_.Path()};
  CSoundEditor editor_;
  CSoundEditor loaded_;
  Reporter report_;
  std::string progress_;
  std::string warnings_;
};

TEST_F(CreateBank, TwoSoundsMakeTheCanonicalLayout) {
  Put("0_first.wav", MakeWave(tf::Samples(100)));
  Put("1_second.wav", MakeWave(tf::Samples(50, 2)));
  CreateAndLoad();
  EXPECT_EQ(progress_, "Found 2 sounds.\nCreated SDT bank\n");
  EXPECT_EQ(fs::file_size(dir_ / "new.sdt"), 242u);
  EXPECT_EQ(loaded_.Entry(0).Offset, 12u);
  EXPECT_EQ(loaded_.Entry(1).Offset, 152u);
  const TbSoundEntry& h = loaded_.Entry(1).Entry;
  EXPECT_EQ(h.HeaderSize, 40u);
  EXPECT_EQ(h.DataSize, 50u);
  EXPECT_EQ(h.SampleRate, 44100u);
  EXPECT_EQ(h.BitsPerSample, 16u);
  EXPECT_EQ(h.NumChannels, 1u);
  EXPECT_EQ(h.Unknown + h.LoopStart + h.LoopEnd, 0u);
  auto data = loaded_.SampleData(1);
  EXPECT_EQ(Bytes(data->begin(), data->end()), tf::Samples(50, 2));
}

TEST_F(CreateBank, NumbersGiveTheOrderAndNamesComeFromTheFileName) {
  Put("2_b.wav", MakeWave({}));
  Put("10_c.wav", MakeWave({}));
  Put("1_a.wav", MakeWave({}));
  Put("5_a_b.wav", MakeWave({}));
  Put("6_.wav", MakeWave({}));
  Put("7_abcdefghijklmnopqrst.wav", MakeWave({}));
  CreateAndLoad();
  EXPECT_EQ(Names(), (std::vector<std::string>{"a", "b", "a_b", "", "abcdefghijklmnop", "c"}));
  // Bytes after a name's terminator are zero.
  for (auto b : loaded_.Entry(1).Entry.Name) EXPECT_TRUE(b == 'b' || b == 0);
}

TEST_F(CreateBank, RepeatedNumbersKeepOneFileAndSaySo) {
  Put("007_x.wav", MakeWave(Bytes(4)));
  Put("7_y.wav", MakeWave(Bytes(6)));
  CreateAndLoad();
  EXPECT_EQ(progress_, "Found 1 sounds.\nCreated SDT bank\n");
  EXPECT_EQ(Names(), std::vector<std::string>{"x"});
  EXPECT_NE(warnings_.find("7_y.wav"), std::string::npos) << warnings_;
}

TEST_F(CreateBank, FilesThatAreNotNumberedWavesAreSkipped) {
  for (const char* name : {"5.wav", "x5_a.wav", "+5_a.wav", " 5_a.wav", "5_a.WAV", "notes.txt"})
    Put(name, MakeWave({}));
  fs::create_directory(dir_ / "output" / "5_b.wav");
  std::error_code noLink;  // most Windows users may not make links; the folder is still there
  fs::create_directory_symlink(dir_ / "output" / "5_b.wav", dir_ / "output" / "6_link.wav", noLink);
  const Status s = CSoundEditor::CreateBank(fs::current_path() / "output", dir_ / "new.sdt", {}, report_);
  ASSERT_TRUE(s) << s.message();
  EXPECT_EQ(progress_, "Found 0 sounds.\nCreated SDT bank\n");
  EXPECT_EQ(tf::ReadFile(dir_ / "new.sdt"), Bytes(4, 0));
  EXPECT_NE(warnings_.find("cannot be opened"), std::string::npos);
}

TEST_F(CreateBank, RatesAreDoubledAndOtherFormatsCarried) {
  Put("0_a.wav", MakeWave(Bytes(4), 22050, 16, 1));
  Put("1_b.wav", MakeWave(Bytes(4), 11025, 8, 2));
  Put("2_c.wav", tf::WaveBuilder().Chunk("LIST", Bytes(9, 'i')).Extensible(2, 16000, 24).Data(tf::Samples(12)).Build());
  CreateAndLoad();
  EXPECT_EQ(loaded_.Entry(0).Entry.SampleRate, 44100u);
  EXPECT_EQ(loaded_.Entry(1).Entry.SampleRate, 22050u);
  EXPECT_EQ(loaded_.Entry(1).Entry.BitsPerSample, 8u);
  EXPECT_EQ(loaded_.Entry(1).Entry.NumChannels, 2u);
  EXPECT_EQ(loaded_.Entry(2).Entry.SampleRate, 32000u);
  EXPECT_EQ(loaded_.Entry(2).Entry.BitsPerSample, 24u);
  auto data = loaded_.SampleData(2);
  EXPECT_EQ(Bytes(data->begin(), data->end()), tf::Samples(12));
}

TEST_F(CreateBank, ShortDataIsTakenAsPresentWithAWarning) {
  Put("0_cut.wav", tf::WaveBuilder().Format(1, 22050, 16).RawChunk("data", 100, tf::Samples(30)).Build());
  CreateAndLoad();
  EXPECT_EQ(loaded_.Entry(0).Entry.DataSize, 30u);
  EXPECT_NE(warnings_.find("0_cut.wav"), std::string::npos) << warnings_;
}

// A bank is written whole or not at all: every refusal names the file and leaves the target.
TEST_F(CreateBank, UnusableFilesStopItBeforeAnythingIsWritten) {
  const struct {
    const char* file;
    Bytes bytes;
    ErrorKind kind;
    bool placed = false;  // the file is in Where
  } cases[] = {
      {"_a.wav", MakeWave({}), ErrorKind::Refused, true},
      {"2147483648_a.wav", MakeWave({}), ErrorKind::TooLarge, true},
      {"1_text.wav", Bytes{'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!'}, ErrorKind::Damaged},
      {"1_nodata.wav", tf::WaveBuilder().Format(1, 22050, 16).Build(), ErrorKind::Damaged},
      {"1_float.wav", tf::WaveBuilder().Format(1, 22050, 32, 3).Data(Bytes(4)).Build(), ErrorKind::NeedsConversion},
      {"1_cd.wav", MakeWave(Bytes(4), 44100), ErrorKind::NeedsConversion},
      {"1_many.wav", MakeWave(Bytes(4), 22050, 16, 300), ErrorKind::Unsupported},
      {"1_wide.wav", MakeWave(Bytes(4), 22050, 256, 1), ErrorKind::Unsupported},
  };
  Put("0_fine.wav", MakeWave(Bytes(4)));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    Put(c.file, c.bytes);
    const Status s = ExpectFailureNaming(c.file);
    EXPECT_EQ(s.kind(), c.kind);
    if (c.placed) {
      EXPECT_EQ(s.where(), Where{PathToUtf8(fs::current_path() / "output" / c.file)});
    }
    fs::remove(dir_ / "output" / c.file);
  }
}

TEST_F(CreateBank, AMissingFolderOrTargetFolderIsReported) {
  const Status noTarget = CSoundEditor::CreateBank(fs::current_path() / "output", dir_ / "missing" / "new.sdt", {}, report_);
  EXPECT_EQ(noTarget.kind(), ErrorKind::Io);
  EXPECT_EQ(noTarget.where(), Where{PathToUtf8(dir_ / "missing" / "new.sdt")});
  EXPECT_NE(noTarget.message().find("new.sdt"), std::string::npos) << noTarget.message();
  EXPECT_EQ(progress_, "Found 0 sounds.\n");

  fs::remove(dir_ / "output");
  EXPECT_EQ(ExpectFailureNaming("output").kind(), ErrorKind::NotFound);
}

TEST_F(CreateBank, APipeNamedLikeASoundIsRefusedNotWaitedOn) {
#if defined(_WIN32)
  GTEST_SKIP() << "Windows has no pipes with names in a folder";
#else
  ASSERT_EQ(mkfifo((dir_ / "output" / "3_pipe.wav").c_str(), 0600), 0);
  (void)ExpectFailureNaming("not a regular file");
#endif
}

TEST_F(CreateBank, ABankOf4GiBOrMoreIsRefused) {
  std::vector<TbSoundEntry> headers(2, TbSoundEntry{.HeaderSize = TbSoundEntry::kSize});
  headers[0].DataSize = 0x7FFFFFF0;
  headers[1].DataSize = 0x7FFFFFF0;
  EXPECT_TRUE(LayOutBank(std::span(headers).first(1)));
  auto layout = LayOutBank(headers);
  EXPECT_EQ(layout.kind(), ErrorKind::TooLarge);
}

// Export every sound, pack the files again: the same bank, byte for byte.
TEST_F(CreateBank, ExportThenCreateGivesTheSameBank) {
  std::vector<tf::SoundSpec> sounds = {
      {"ABCDEFGHIJKLMNOP", tf::Samples(101, 1)},
      {"caf\xE9", tf::Samples(64, 2), 22050, 8, 2},
      {"", tf::Samples(0, 3), 16000, 16, 1},
      {"x", tf::Samples(33, 4), 44100, 24, 6},
  };
  for (int i = 0; i < 11; ++i) sounds.push_back({"s" + std::to_string(i), tf::Samples(i, i)});
  const Bytes original = tf::MakeBank(sounds);
  tf::WriteFile(dir_ / "original.sdt", original);
  CSoundEditor source;
  ASSERT_TRUE(source.LoadBank(dir_ / "original.sdt"));
  for (std::uint32_t i = 0; i < source.Count(); ++i) ASSERT_TRUE(source.Export(i, fs::current_path() / "output"));
  CreateAndLoad();
  EXPECT_EQ(tf::ReadFile(dir_ / "new.sdt"), original);
}

}  // namespace
}  // namespace Orvane
