#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>
#include <utility>

#include "DiskAudio.h"
#include "PathUtf8.h"
#include "ProcessMemory.h"
#include "SoundEditor.h"
#include "SoundOutput.h"
#include "SoundReplacement.h"

namespace Orvane::Test {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// Freed memory waits in the sanitizer's quarantine, so the resident size says nothing; the
// leak check at exit stands in for it.
constexpr bool kResidentSizeTells = false;
#else
constexpr bool kResidentSizeTells = true;
#endif

// 16-bit mono at 22,050 Hz.
SoundSpec Sound(Bytes samples) {
  SoundSpec sound;
  sound.Name = "sound";
  sound.Data = std::move(samples);
  return sound;
}

class Play : public DiskAudioTest {
 protected:
  std::filesystem::path WriteBank(const std::string& name, const Bytes& bank) {
    WriteFile(dir_ / name, bank);
    return dir_ / name;
  }

  CSoundEditor editor_{&Output()};
};

TEST_F(Play, TheSoundPlaysOnIntactWhenTheBankChanges) {
  const Bytes samples = Samples(22050 / 4 * 2, 3);  // 0.25 s
  const auto bank = WriteBank("a.sdt", MakeBank({Sound(samples)}));
  const auto other = WriteBank("b.sdt", MakeBank({Sound(Samples(100, 4))}));
  const std::pair<const char*, std::function<void()>> changes[] = {
      {"cleared", [&] { editor_.Clear(); }},
      {"another bank loaded", [&] { ASSERT_TRUE(editor_.LoadBank(other)); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(editor_.LoadBank(bank));
    const Status played = editor_.Play(0);
    ASSERT_TRUE(played) << played.message();
    change();
    Output().WaitForEnd();

    const Bytes output = Written();
    const auto start = FindSound(output, samples);
    ASSERT_TRUE(start);
    EXPECT_TRUE(HoldsAt(output, *start, samples));
  }
}

TEST_F(Play, StopSilencesTheSoundAndSaysWhetherOneWasPlaying) {
  const Bytes samples = Samples(22050 * 2 * 2, 5);  // 2 s
  ASSERT_TRUE(editor_.LoadBank(WriteBank("a.sdt", MakeBank({Sound(samples)}))));
  EXPECT_FALSE(editor_.Playback().Stop());
  ASSERT_TRUE(editor_.Play(0));
  EXPECT_TRUE(editor_.Playback().IsPlaying());
  EXPECT_TRUE(editor_.Playback().Stop());
  EXPECT_FALSE(editor_.Playback().IsPlaying());
  Output().WaitForEnd();  // returns at once: nothing plays
  const Bytes output = Written();
  const auto start = FindSound(output, samples);
  EXPECT_FALSE(start && HoldsAt(output, *start, samples)) << "the whole sound reached the device";
}

TEST_F(Play, ThePlayPositionShowsOnTheSoundWhoseSamplesPlay) {
  ASSERT_TRUE(editor_.LoadBank(
      WriteBank("a.sdt", MakeBank({Sound(Samples(22050 * 2, 1)), Sound(Samples(100, 2))}))));
  ASSERT_TRUE(editor_.Play(0));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto played = editor_.Playback().PlayedSeconds(0);
  ASSERT_TRUE(played);
  EXPECT_GT(*played, 0.05);
  EXPECT_LT(*played, 0.95);
  EXPECT_FALSE(editor_.Playback().PlayedSeconds(1));
  // Replaced, it is another sound; undone, the one that plays again.
  WriteFile(dir_ / "new.wav", MakeWave(Samples(200, 3)));
  ASSERT_TRUE(ReplaceSound(editor_, 0, dir_ / "new.wav", {}, Quiet));
  EXPECT_FALSE(editor_.Playback().PlayedSeconds(0));
  ASSERT_TRUE(editor_.Undo());
  EXPECT_TRUE(editor_.Playback().PlayedSeconds(0));
  editor_.Playback().Stop();
  EXPECT_FALSE(editor_.Playback().PlayedSeconds(0));
}

TEST_F(Play, RefusesIndexesItCannotReadWithAReasonAndPlaysNothing) {
  Bytes file = MakeBank({Sound(Samples(100, 1)), Sound(Samples(100, 2))});
  file.resize(file.size() - 10);  // the second sound's data runs past the end
  const auto bank = WriteBank("cut.sdt", file);
  ASSERT_TRUE(editor_.LoadBank(bank));
  const struct {
    std::uint32_t Index;
    ErrorKind Kind;
    std::optional<std::uint64_t> Offset;  // of a damaged sound's header
  } refused[] = {{1, ErrorKind::Damaged, 152}, {2, ErrorKind::NotFound, {}}, {0xFFFFFFFF, ErrorKind::NotFound, {}}};
  for (const auto& c : refused) {
    const Status played = editor_.Play(c.Index);
    EXPECT_EQ(played.kind(), c.Kind) << c.Index;
    EXPECT_EQ(played.where(), (Where{PathToUtf8(bank), c.Index, c.Offset})) << c.Index;
  }
  editor_.Clear();
  EXPECT_EQ(editor_.Play(0).kind(), ErrorKind::NotFound);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "out.raw")) << "a device was opened";
}

TEST_F(Play, ASoundTheOutputRefusesIsNamedAndTheDefaultSoundPlays) {
  SoundSpec fourBit = Sound(Samples(100));
  fourBit.BitsPerSample = 4;
  const auto bank = WriteBank("four.sdt", MakeBank({fourBit}));
  ASSERT_TRUE(editor_.LoadBank(bank));
  int defaultSounds = 0;
  defaultSound_ = [&] { ++defaultSounds; };
  const Status played = editor_.Play(0);
  EXPECT_EQ(played.kind(), ErrorKind::Unsupported);
  EXPECT_EQ(played.where(), (Where{PathToUtf8(bank), 0, {}}));
  EXPECT_NE(played.message().find("sound 0 (4-bit, 1 channel, 22050 Hz)"), std::string::npos)
      << played.message();
  EXPECT_EQ(defaultSounds, 1);
}

TEST_F(Play, AThousandPlaysOfAMegabyteSoundKeepOneImage) {
  ASSERT_TRUE(editor_.LoadBank(WriteBank("big.sdt", MakeBank({Sound(Samples(1 << 20))}))));
  ASSERT_TRUE(editor_.Play(0));
  const auto before = ResidentBytes();
  for (int i = 1; i < 1000; ++i) ASSERT_TRUE(editor_.Play(0));
  const auto after = ResidentBytes();
  // Every image kept would add a megabyte.
  if (kResidentSizeTells && before && after) {
    EXPECT_LT(*after, *before + (32u << 20));
  }
}

}  // namespace
}  // namespace Orvane::Test
