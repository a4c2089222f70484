// A bank of 1,000 sounds goes round and round the work cycle: export every sound, replace a few
// WAVE files, create a bank, load it. Every round's bank must hold exactly the expected bytes,
// built in memory from what the folder held.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "SoundEditor.h"
#include "SoundExport.h"
#include "SoundFileName.h"
#include "TestFiles.h"
#include "Text.h"

#ifndef ORVANE_SOAK_ROUNDS
#define ORVANE_SOAK_ROUNDS 100
#endif

namespace Orvane::Test {
namespace {
namespace fs = std::filesystem;

constexpr std::size_t kSounds = 1000;
constexpr std::size_t kMaxReplacedPerRound = 20;
constexpr std::uint32_t kSeed = 20240517;

// ORVANE_SOAK_ROUNDS in the environment overrides the build's number of rounds.
int Rounds() {
  const char* value = std::getenv("ORVANE_SOAK_ROUNDS");
  return value != nullptr ? std::atoi(value) : ORVANE_SOAK_ROUNDS;
}

// Any sound a WAVE file carries whole: HeaderSize 40, an even stored rate, Unknown and loop
// points 0, and a name of any bytes but '/' (which no file name holds) and the terminator.
SoundSpec RandomSound(std::mt19937& random) {
  SoundSpec sound;
  const std::size_t nameLength = random() % 17;
  for (std::size_t i = 0; i < nameLength; ++i) {
    char c;
    do c = static_cast<char>(1 + random() % 255); while (c == '/');
    sound.Name += c;
  }
  sound.Data = Samples(random() % 2048, random());
  // Any whole rate a bank holds, from 100 Hz up.
  sound.SampleRate = static_cast<std::uint16_t>(2 * (kMinBankRateHz + random() % (32768 - kMinBankRateHz)));
  sound.BitsPerSample = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : 16);
  sound.NumChannels = static_cast<std::uint8_t>(random() % 4 == 0 ? random() : 1);
  return sound;
}

TEST(Soak, AThousandSoundsGoRoundTheWorkCycleWithoutLosingAByte) {
  TempDir dir;
  std::mt19937 random(kSeed);
  std::vector<SoundSpec> sounds(kSounds);
  for (SoundSpec& sound : sounds) sound = RandomSound(random);
  WriteFile(dir / "bank.sdt", MakeBank(sounds));
  const fs::path folder = dir / "output";
  std::string progress;

  const int rounds = Rounds();
  for (int round = 0; round < rounds; ++round) {
    SCOPED_TRACE(Str("round ", round, " of ", rounds, ", seed ", kSeed));
    CSoundEditor editor;
    const Reporter report = [&](const Report& report) { progress += report.Line; };
    const Status loaded = editor.LoadBank(dir / "bank.sdt");
    ASSERT_TRUE(loaded) << loaded.message();
    ASSERT_EQ(editor.Count(), kSounds);

    // Export writes over last round's files, as it does in a user's output folder.
    std::vector<std::string> files(kSounds);
    std::vector<std::uint32_t> all(kSounds);
    for (std::uint32_t i = 0; i < kSounds; ++i) all[i] = i;
    for (const Status& exported : ExportSounds(editor, all, folder)) ASSERT_TRUE(exported) << exported.message();
    for (std::uint32_t i = 0; i < kSounds; ++i) files[i] = ExportFileName(i, editor.Entry(i).Entry);
    const std::size_t replaced = 1 + random() % kMaxReplacedPerRound;
    for (std::size_t r = 0; r < replaced; ++r) {
      const auto i = static_cast<std::uint32_t>(random() % kSounds);
      fs::remove(folder / files[i]);
      SoundSpec& sound = sounds[i];
      sound = RandomSound(random);
      TbSoundEntry named;
      named.SetName(sound.Name);
      files[i] = ExportFileName(i, named);
      WriteFile(folder / files[i],
                MakeWave(sound.Data, sound.SampleRate / 2u, sound.BitsPerSample, sound.NumChannels));
    }

    progress.clear();
    const Status created = CSoundEditor::CreateBank(folder, dir / "bank.sdt", {}, report);
    ASSERT_TRUE(created) << created.message();
    ASSERT_EQ(progress, Str("Found ", kSounds, " sounds.\nCreated SDT bank\n"));
    ASSERT_TRUE(ReadFile(dir / "bank.sdt") == MakeBank(sounds)) << "the bank differs";
  }
}

}  // namespace
}  // namespace Orvane::Test
