#include <gtest/gtest.h>

#include <cstring>

#include "BankSession.h"
#include "PathUtf8.h"
#include "SoundOutput.h"
#include "SoundServer.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

// A session over an engine of its own, its console lines kept, in a working directory of its
// own: no window anywhere.
class BankSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteFile(bank, MakeBank({{.Name = "abc", .Data = Samples(100, 1)},
                              {.Name = "bell", .Data = Samples(60, 2)}}));
    ASSERT_TRUE(session.Open(bank).Result);
  }

  TempDir dir;
  ScopedWorkingDirectory workingDirectory{dir.Path()};
  const fs::path bank = dir / "a.sdt";
  CSoundEditor editor;
  std::vector<Report> console;
  std::vector<Message> messages;
  BankSession session{editor,
                      {dir / "output", nullptr, [this](const Report& report) { console.push_back(report); }},
                      [this](const Message& message) { messages.push_back(message); }};
};

// 32-bit float samples beyond full scale: converting them to the sound's 16 bits clips them.
Bytes LoudFloatWave() {
  Bytes samples;
  for (const float x : {1.5f, -1.5f, 0.25f, 2.0f}) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &x, 4);
    AppendU32(samples, bits);
  }
  return WaveBuilder().Format(1, 22050, 32, 3).Data(samples).Build();
}

TEST_F(BankSessionTest, AnEditSaysWhatItDidAndHowManyWarningsItLeftInTheMessages) {
  WriteFile(dir / "loud.wav", LoudFloatWave());
  const CommandOutcome replaced = session.Replace(1, dir / "loud.wav", ReplaceFormat::SoundsOwn);
  ASSERT_TRUE(replaced.Result) << replaced.Result.message();
  EXPECT_EQ(replaced.Line, "Replaced sound 1 (bell) with loud.wav; 1 warning (see Messages)");
  EXPECT_EQ(replaced.Warnings, 1);
  EXPECT_EQ(replaced.ListChange, CommandOutcome::List::Rows);
  EXPECT_EQ(replaced.Rows.Rows, std::vector<std::uint32_t>{1});
  ASSERT_EQ(console.size(), 2u) << "the conversion's note and the clipping warning";
  EXPECT_EQ(console[1].Kind, ReportKind::Warning);
  ASSERT_EQ(messages.size(), 2u) << "the messages hold what the console shows";
  EXPECT_EQ(messages[1].Sound, 1u);
  EXPECT_EQ(messages[1].Text + "\n", console[1].Line);

  const CommandOutcome inserted = session.Insert(0, dir / "loud.wav");
  EXPECT_EQ(inserted.Focus, 0u);
  const CommandOutcome undone = session.Undo();
  EXPECT_EQ(undone.Line, "Undone: Insert sound 0");
  EXPECT_EQ(undone.Rows.What, RowChange::Kind::Removed);
  EXPECT_EQ(session.Undo().Line, "Undone: Replace sound 1");
  EXPECT_FALSE(session.Undo().Line) << "nothing left to undo leaves the status line alone";

  messages.clear();
  const CommandOutcome many = session.ReplaceMany({{0, dir / "loud.wav"}, {1, dir / "loud.wav"}},
                                                  ReplaceFormat::SoundsOwn);
  EXPECT_EQ(many.Line, "Replaced 2 sounds, 0 unchanged; 2 warnings (see Messages)");
  ASSERT_EQ(messages.size(), 4u);
  EXPECT_EQ(std::vector({messages[0].Sound, messages[2].Sound}),
            std::vector<std::optional<std::uint32_t>>({0u, 1u}))
      << "each file's lines name the sound it replaced";
}

TEST_F(BankSessionTest, FailuresKeepTheirKindAndWhereAndReachTheConsole) {
  ASSERT_TRUE(session.Remove({0}).Result);
  WriteFile(bank, MakeBank({{.Name = "theirs", .Data = Samples(8)}}));
  const CommandOutcome refused = session.Save(bank, /*force=*/false);
  EXPECT_EQ(refused.Result.kind(), ErrorKind::ChangedOnDisk);
  EXPECT_EQ(refused.Result.where().File, PathToUtf8(bank));
  ASSERT_TRUE(refused.Line);
  EXPECT_TRUE(refused.Line->ends_with(" (File > Save As... over it does)")) << *refused.Line;
  EXPECT_EQ(console.back().Line, *refused.Line + "\n");
  EXPECT_TRUE(session.HasUnsavedEdits());
  EXPECT_EQ(session.Save(bank, /*force=*/true).ListChange, CommandOutcome::List::Offsets);
  EXPECT_FALSE(session.HasUnsavedEdits());

  // No output folder to make a bank from.
  const CommandOutcome created = session.Create(dir / "new.sdt");
  EXPECT_EQ(created.Result.kind(), ErrorKind::NotFound);
  EXPECT_TRUE(created.Line->starts_with("cannot create the bank ")) << *created.Line;

  const CommandOutcome missing = session.Open(dir / "missing.sdt");
  EXPECT_EQ(missing.Result.kind(), ErrorKind::NotFound);
  EXPECT_EQ(missing.Result.where().File, PathToUtf8(dir / "missing.sdt"));
  EXPECT_EQ(missing.ListChange, CommandOutcome::List::Same) << "the bank before stays listed";
  EXPECT_EQ(session.OpenStart(), dir / "missing.sdt") << "the next dialog starts there";
}

// The compared bank plays on an output of its own: its sound leaves the edited bank's playing,
// and stopping the edited bank's leaves the compared one's.
TEST(BankSessionPlayback, TheComparedBanksSoundPlaysBesideTheBanksOwn) {
  const SoundServer server;
#if defined(_WIN32)
  if (!server.Refusal().empty()) GTEST_SKIP() << server.Refusal();
#endif
  ASSERT_EQ(server.Refusal(), "");
  TempDir dir;
  WriteFile(dir / "a.sdt", MakeBank({{.Name = "long", .Data = Samples(22050 * 2 * 2, 1)}}));
  WriteFile(dir / "b.sdt", MakeBank({{.Name = "long", .Data = Samples(22050 * 2 * 2, 2)}}));
  {
    SoundOutput mine, theirs;
    CSoundEditor editor(&mine);
    BankSession session(editor, {dir / "output", &theirs, Quiet}, [](const Message&) {});
    ASSERT_TRUE(session.Open(dir / "a.sdt").Result);
    ASSERT_TRUE(session.CompareWith(dir / "b.sdt").Result);
    ASSERT_TRUE(session.Listen(0).Result);
    const CommandOutcome compared = session.ListenToCompared(0);
    ASSERT_TRUE(compared.Result) << compared.Result.message();
    EXPECT_TRUE(mine.IsPlaying());
    EXPECT_TRUE(theirs.IsPlaying());
    EXPECT_EQ(session.Stop().Line, "Stopped the sound");
    EXPECT_FALSE(mine.IsPlaying());
    EXPECT_TRUE(theirs.IsPlaying());
  }
}

}  // namespace
}  // namespace Orvane::Test
