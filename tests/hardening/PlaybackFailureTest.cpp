// Playback when the world changes under it: the bank file replaced after loading, or no audio
// device until one appears. Each case runs in a child process, so that the audio driver chosen
// there ends with it.
#include <gtest/gtest.h>

#include <functional>

#include "ChildProcess.h"
#include "DiskAudio.h"
#include "PathUtf8.h"
#include "RunProgram.h"
#include "SoundEditor.h"
#include "SoundOutput.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

// 0.1 s each at 22,050 Hz, 16-bit mono: the disk driver plays at a device's pace.
const Bytes kFirst = Samples(4410, 21);
const Bytes kSecond = Samples(4410, 22);

// Plays sound `index` to its end on `output` and answers what SDL's disk driver wrote to `file`.
Bytes PlayToTheEnd(CSoundEditor& editor, SoundOutput& output, std::uint32_t index, const fs::path& file) {
  const Status played = editor.Play(index);
  EXPECT_TRUE(played) << played.message();
  if (!played) return {};
  output.WaitForEnd();
  output.ShutDown();
  return ReadFile(file);
}

// True when the whole of `sound` reached the device.
bool Heard(const Bytes& output, const Bytes& sound) {
  const auto start = FindSound(output, sound);
  return start && HoldsAt(output, *start, sound);
}

void UseDiskAudio(const fs::path& file) {
  SetEnvironment("SDL_AUDIODRIVER", "disk");
  SetEnvironment("SDL_DISKAUDIOFILE", PathToUtf8(file));
}

TEST(PlaybackFailure, ABankChangedOnDiskAfterLoadingStillPlaysTheLoadedBytes) {
  const std::pair<const char*, std::function<void(const fs::path&)>> changes[] = {
      {"overwritten in place",
       [](const fs::path& f) { WriteFile(f, MakeBank({{.Name = "a", .Data = kSecond}})); }},
      {"removed", [](const fs::path& f) { fs::remove(f); }},
  };
  for (const auto& [what, change] : changes) {
    SCOPED_TRACE(what);
    TempDir dir;
    WriteFile(dir / "bank.sdt", MakeBank({{.Name = "a", .Data = kFirst}}));
    const ChildOutcome outcome = RunInChild([&] {
      UseDiskAudio(dir / "out.raw");
      SoundOutput output;
      CSoundEditor editor(&output);
      ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
      change(dir / "bank.sdt");
      EXPECT_TRUE(Heard(PlayToTheEnd(editor, output, 0, dir / "out.raw"), kFirst))
          << "the loaded sound did not play";
    });
    EXPECT_EQ(outcome, ChildOutcome::Passed);
  }
}

TEST(PlaybackFailure, APlayWithoutADeviceIsReportedAndOneAfterADeviceAppearsPlays) {
  TempDir dir;
  WriteFile(dir / "bank.sdt",
            MakeBank({{.Name = "first", .Data = kFirst}, {.Name = "second", .Data = kSecond}}));
  const ChildOutcome outcome = RunInChild([&] {
    SetEnvironment("SDL_AUDIODRIVER", "no-such-driver");
    const ProgramRun tool = RunCli({"play", "bank.sdt", "0"}, dir.Path());
    EXPECT_EQ(tool.ExitCode, 1);
    EXPECT_EQ(tool.Err.rfind("orvane-cli: cannot play sound 0: no audio device", 0), 0u) << tool.Err;

    SoundOutput output;
    CSoundEditor editor(&output);
    ASSERT_TRUE(editor.LoadBank(dir / "bank.sdt"));
    const Status first = editor.Play(0);
    EXPECT_EQ(first.kind(), ErrorKind::NoDevice) << first.message();
    EXPECT_EQ(first.where(), (Where{PathToUtf8(dir / "bank.sdt"), 0, {}}));

    UseDiskAudio(dir / "out.raw");
    const Bytes written = PlayToTheEnd(editor, output, 1, dir / "out.raw");
    EXPECT_TRUE(Heard(written, kSecond)) << "the second play did not sound";
    EXPECT_FALSE(FindSound(written, kFirst)) << "the first play sounded after all";
  });
  EXPECT_EQ(outcome, ChildOutcome::Passed);
}

}  // namespace
}  // namespace Orvane::Test
