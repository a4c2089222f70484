// Bank creation like the bank the files were exported from.
#include <gtest/gtest.h>

#include "PathUtf8.h"
#include "SoundEditor.h"
#include "TestFiles.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
namespace fs = std::filesystem;

class CreateLike : public ::testing::Test {
 protected:
  void SetUp() override {
    tf::WriteFile(dir_ / "old.sdt", tf::MakePackedBank({
        {.Name = "a/b", .Data = tf::Samples(30, 1), .SampleRate = 22051, .BitsPerSample = 8,
         .Unknown = 7, .LoopStart = 3, .LoopEnd = 25, .HeaderSize = 57},
        {.Name = std::string("ab\0junk", 7), .Data = tf::Samples(20, 2), .Unknown = 0xFFFFFFFF},
        {.Name = "ABCDEFGHIJKLMNOP", .Data = tf::Samples(12, 3), .SampleRate = 32001, .NumChannels = 3},
        {.Name = "", .Data = {}, .HeaderSize = 300}}));
    ASSERT_TRUE(old_.LoadBank(dir_ / "old.sdt"));
    for (std::uint32_t i = 0; i < old_.Count(); ++i) ASSERT_TRUE(old_.Export(i, dir_ / "out"));
  }
  // Creates new.sdt and answers its header `index`.
  TbSoundEntry Create(std::uint32_t index, bool convert = false, FormatRequest format = {}) {
    EXPECT_TRUE(CSoundEditor::CreateBank(dir_ / "out", dir_ / "new.sdt", {convert, format, dir_ / "old.sdt"}, report_));
    EXPECT_TRUE(loaded_.LoadBank(dir_ / "new.sdt"));
    return loaded_.Count() > index ? loaded_.Entry(index).Entry : TbSoundEntry{};
  }

  tf::TempDir dir_;
  CSoundEditor old_, editor_, loaded_;
  std::string lines_;
  const Reporter report_ = [this](const Report& report) { lines_ += report.Line; };
};

TEST_F(CreateLike, ExportThenCreateGivesThePackedBankBackByteForByte) {
  for (bool convert : {false, true}) {
    Create(0, convert);
    EXPECT_EQ(tf::ReadFile(dir_ / "new.sdt"), tf::ReadFile(dir_ / "old.sdt")) << convert;
  }
  EXPECT_EQ(lines_, "Found 4 sounds.\nCreated SDT bank\nFound 4 sounds.\nCreated SDT bank\n");
}

TEST_F(CreateLike, EditedFilesKeepWhatTheyChangeAndConversionTakesTheOldFormat) {
  fs::rename(dir_ / "out/0_a_b.wav", dir_ / "out/0_renamed.wav");
  tf::WriteFile(dir_ / "out/2_ABCDEFGHIJKLMNOP.wav", tf::MakeWave(Bytes(8), 11025, 16, 1));
  tf::WriteFile(dir_ / "out/9_new.wav", tf::MakeWave(Bytes(2)));
  EXPECT_EQ(Create(0).NameBytes(), "renamed");
  EXPECT_EQ(loaded_.Entry(0).Entry.Unknown, 7u);
  EXPECT_EQ(SoundFormat::Of(loaded_.Entry(2).Entry), (SoundFormat{22050, 16, 1}));  // the file's rate
  EXPECT_EQ(loaded_.Entry(4).Entry.HeaderSize + loaded_.Entry(4).Entry.Unknown, 40u);  // not in old

  tf::WriteFile(dir_ / "out/0_renamed.wav", tf::WaveBuilder().Format(2, 44100, 32, 3).Data(Bytes(800)).Build());
  EXPECT_EQ(SoundFormat::Of(Create(0, true)), SoundFormat::Of(old_.Entry(0).Entry));
  EXPECT_EQ(SoundFormat::Of(loaded_.Entry(2).Entry), SoundFormat::Of(old_.Entry(2).Entry));
  EXPECT_EQ(SoundFormat::Of(Create(0, true, {std::nullopt, 16, std::nullopt})), (SoundFormat{22051, 16, 1}));
}

TEST_F(CreateLike, WhatTheOldBankCannotGiveIsReported) {
  Bytes bank = tf::MakePackedBank({{.Name = "x", .Data = tf::Samples(4)}});
  tf::PutU32(bank, 8, 1000);  // extra header bytes past the end
  tf::WriteFile(dir_ / "old.sdt", bank);
  EXPECT_EQ(Create(0).HeaderSize, 40u);
  EXPECT_NE(lines_.find("HeaderSize of 1000"), std::string::npos) << lines_;
  fs::remove(dir_ / "old.sdt");
  const Status missing = CSoundEditor::CreateBank(dir_ / "out", dir_ / "x.sdt", {false, {}, dir_ / "old.sdt"}, report_);
  EXPECT_EQ(missing.kind(), ErrorKind::NotFound);
  EXPECT_EQ(missing.where(), Where{PathToUtf8(dir_ / "old.sdt")});
  EXPECT_FALSE(fs::exists(dir_ / "x.sdt"));
}

}  // namespace
}  // namespace Orvane
