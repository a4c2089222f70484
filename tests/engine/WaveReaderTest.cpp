#include <gtest/gtest.h>

#include "TestFiles.h"
#include "WaveReader.h"

namespace Orvane {
namespace tf = Orvane::Test;
namespace {

using tf::Bytes;
using tf::WaveBuilder;

Result<WaveInfo> Read(const Bytes& file) {
  MemorySource source(file);
  return ReadWave(source);
}

// Where the samples are must be found by walking chunks, whatever other chunks surround them.
TEST(WaveReader, FindsFormatAndDataAmongOtherChunks) {
  const Bytes samples = tf::Samples(101);
  const struct {
    const char* what;
    Bytes file;
  } cases[] = {
      {"canonical", tf::MakeWave(samples)},
      {"LIST before fmt", WaveBuilder().Chunk("LIST", Bytes(26, 'x')).Format(1, 22050, 16).Data(samples).Build()},
      {"fact and odd-sized JUNK", WaveBuilder().Format(1, 22050, 16).Chunk("fact", Bytes(4, 0)).Chunk("JUNK", Bytes(3, 0)).Data(samples).Build()},
      {"smpl after data", WaveBuilder().Format(1, 22050, 16).Data(samples).Chunk("smpl", Bytes(60, 0)).Build()},
      {"data before fmt", WaveBuilder().Data(samples).Format(1, 22050, 16).Build()},
      {"long fmt", WaveBuilder().Chunk("fmt ", [] { Bytes b = tf::MakeWave({}); b = Bytes(b.begin() + 20, b.begin() + 36); b.resize(18); return b; }()).Data(samples).Build()},
  };
  for (const auto& c : cases) {
    auto info = Read(c.file);
    ASSERT_TRUE(info) << c.what << ": " << info.message();
    EXPECT_TRUE(info->IsPcm()) << c.what;
    EXPECT_EQ(info->SampleRateHz, 22050u) << c.what;
    EXPECT_EQ(info->BitsPerSample, 16u) << c.what;
    EXPECT_EQ(info->NumChannels, 1u) << c.what;
    EXPECT_EQ(info->DataSize, samples.size()) << c.what;
    EXPECT_EQ(Bytes(c.file.begin() + info->DataOffset, c.file.begin() + info->DataOffset + info->DataSize), samples) << c.what;
    EXPECT_TRUE(info->Warnings.empty()) << c.what;
  }
}

TEST(WaveReader, ReportsEveryChunkItMet) {
  auto info = Read(WaveBuilder().Chunk("LIST", Bytes(5, 0)).Format(2, 11025, 8).Data(Bytes(7)).Chunk("smpl", {}).Build());
  ASSERT_TRUE(info);
  ASSERT_EQ(info->Chunks.size(), 4u);
  EXPECT_EQ(info->Chunks[0].Id, "LIST");
  EXPECT_EQ(info->Chunks[0].Offset, 12u);
  EXPECT_EQ(info->Chunks[1].Offset, 12u + 8 + 6);  // five bytes and the pad byte
  EXPECT_EQ(info->Chunks[3].Id, "smpl");
}

TEST(WaveReader, ExtensibleFilesReportTheirSubFormat) {
  auto pcm = Read(WaveBuilder().Extensible(2, 22050, 24).Data(Bytes(12)).Build());
  ASSERT_TRUE(pcm) << pcm.message();
  EXPECT_TRUE(pcm->IsPcm());
  EXPECT_TRUE(pcm->Extensible);
  EXPECT_EQ(pcm->BitsPerSample, 24u);
  auto floats = Read(WaveBuilder().Extensible(1, 22050, 32, 3).Data(Bytes(8)).Build());
  ASSERT_TRUE(floats);
  EXPECT_FALSE(floats->IsPcm());
  EXPECT_EQ(floats->FormatTag, 3u);
}

TEST(WaveReader, ShortDataTakesTheBytesPresentWithAWarning) {
  Bytes file = WaveBuilder().Format(1, 22050, 16).RawChunk("data", 1000, tf::Samples(10)).Build();
  auto info = Read(file);
  ASSERT_TRUE(info) << info.message();
  EXPECT_EQ(info->DeclaredDataSize, 1000u);
  EXPECT_EQ(info->DataSize, 10u);
  ASSERT_EQ(info->Warnings.size(), 1u);
  EXPECT_NE(info->Warnings[0].find("byte 36"), std::string::npos) << info->Warnings[0];
  // Near 2^32 the declared end wraps in 32 bits; it must still count as past the end.
  auto huge = Read(WaveBuilder().Format(1, 22050, 16).RawChunk("data", 0xFFFFFFFF, Bytes(6)).Build());
  ASSERT_TRUE(huge);
  EXPECT_EQ(huge->DataSize, 6u);
}

// Each refusal is damage, at the byte of the chunk at fault, or at the end for a missing one.
TEST(WaveReader, RefusesWhatIsNotAUsableWave) {
  Bytes rifx = tf::MakeWave(Bytes(4));
  rifx[3] = 'X';
  Bytes avi = tf::MakeWave(Bytes(4));
  std::copy_n("AVI ", 4, avi.begin() + 8);
  const struct {
    const char* what;
    Bytes file;
    std::uint64_t at;
  } cases[] = {
      {"empty", {}, 0},
      {"RIFX", rifx, 0},
      {"AVI", avi, 8},
      {"no fmt", WaveBuilder().Data(Bytes(4)).Build(), 24},
      {"no data", WaveBuilder().Format(1, 22050, 16).Build(), 36},
      {"short fmt", WaveBuilder().Chunk("fmt ", Bytes(14)).Data(Bytes(2)).Build(), 12},
      {"huge chunk before data", WaveBuilder().Format(1, 22050, 16).RawChunk("LIST", 0xFFFFFFF0, Bytes(8)).Data(Bytes(2)).Build(), 36},
      {"short extensible", WaveBuilder().Chunk("fmt ", [] { Bytes b(18); b[0] = 0xFE; b[1] = 0xFF; return b; }()).Data(Bytes(2)).Build(), 12},
  };
  for (const auto& c : cases) {
    auto info = Read(c.file);
    EXPECT_EQ(info.kind(), ErrorKind::Damaged) << c.what;
    EXPECT_EQ(info.where(), (Where{{}, {}, c.at})) << c.what;
  }
  EXPECT_EQ(Read(WaveBuilder().RawChunk("fmt ", 16, Bytes(6)).Build()).kind(), ErrorKind::Damaged);  // fmt cut off
}

}  // namespace
}  // namespace Orvane
