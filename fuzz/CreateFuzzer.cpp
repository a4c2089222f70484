// Runs bank creation over a folder of fuzzed WAVE files and loads the bank it wrote. The bank
// must hold exactly what the files hold, byte for byte; a refusal must name a file and leave
// the target as it was.
#include <algorithm>

#include "BankCreator.h"
#include "ByteSource.h"
#include "FuzzSupport.h"
#include "FuzzedFiles.h"
#include "SoundEditor.h"
#include "TestFiles.h"
#include "Text.h"

namespace Orvane::Fuzz {
namespace {

struct Scratch {
  fs::path Folder = ScratchFolder("create");
  fs::path Input = Folder / "output";
  fs::path Target = Folder / "made.sdt";
  Bytes TargetBefore = {'o', 'l', 'd'};

  Scratch() { fs::create_directories(Input); }
};

// The sound a file becomes, read independently of bank creation; none when it cannot be one.
std::optional<Test::SoundSpec> SoundOf(const FuzzedFile& file) {
  MemorySource source(file.Bytes);
  auto wave = ReadWave(source);
  if (!wave || !FitsBank(*wave)) return std::nullopt;
  Test::SoundSpec sound;
  sound.Name = file.FileName.substr(file.FileName.find('_') + 1);
  sound.Name.resize(sound.Name.size() - 4);  // ".wav"
  const auto samples = file.Bytes.subspan(wave->DataOffset, wave->DataSize);
  sound.Data.assign(samples.begin(), samples.end());
  sound.SampleRate = static_cast<std::uint16_t>(wave->SampleRateHz * 2);
  sound.BitsPerSample = static_cast<std::uint8_t>(wave->BitsPerSample);
  sound.NumChannels = static_cast<std::uint8_t>(wave->NumChannels);
  return sound;
}

// The bank the files make: ordered by number, the first file name of each number kept.
std::optional<std::vector<Test::SoundSpec>> ExpectedSounds(std::vector<FuzzedFile> files) {
  std::sort(files.begin(), files.end(), [](const FuzzedFile& a, const FuzzedFile& b) {
    return a.Number != b.Number ? a.Number < b.Number : a.FileName < b.FileName;
  });
  std::vector<Test::SoundSpec> sounds;
  for (std::size_t i = 0; i < files.size(); ++i) {
    auto sound = SoundOf(files[i]);
    if (!sound) return std::nullopt;  // one unusable file stops it all
    if (i == 0 || files[i].Number != files[i - 1].Number) sounds.push_back(std::move(*sound));
  }
  return sounds;
}

void CheckNothingWritten(const Scratch& scratch) {
  Require(ReadBytes(scratch.Target) == scratch.TargetBefore, "a refusal leaves the target");
  for (const auto& entry : fs::directory_iterator(scratch.Folder))
    Require(entry.path() == scratch.Input || entry.path() == scratch.Target,
            "a refusal leaves nothing behind");
}

void CreateFromFiles(std::span<const std::uint8_t> input) {
  static const Scratch scratch;
  const std::vector<FuzzedFile> files = SplitFiles(input);
  EmptyFolder(scratch.Input);
  for (const FuzzedFile& file : files) WriteBytes(scratch.Input / file.FileName, file.Bytes);
  WriteBytes(scratch.Target, scratch.TargetBefore);

  std::string progress;
  const Status created = CreateBankFrom(scratch.Input, scratch.Target,
                                        [&](const Report& report) {
                                          if (report.Kind == ReportKind::Progress)
                                            progress += report.Line;
                                        });
  const auto expected = ExpectedSounds(files);
  if (!created) {
    Require(!expected, "only a folder with an unusable file is refused");
    Require(!Mentions(progress, "Created SDT bank"), "a refusal does not claim a bank");
    Require(std::any_of(files.begin(), files.end(),
                        [&](const FuzzedFile& f) { return Mentions(created.message(), f.FileName); }),
            "a refusal names the file");
    CheckNothingWritten(scratch);
    return;
  }
  if (!expected) Fail("a folder with an unusable file made a bank");
  Require(progress == Str("Found ", expected->size(), " sounds.\nCreated SDT bank\n"),
          "creation says what it found and made");
  const Bytes bank = ReadBytes(scratch.Target);
  Require(bank == Test::MakeBank(*expected), "the bank holds exactly the files' sounds");

  CSoundEditor editor;
  const Status loaded = editor.LoadBank(scratch.Target);
  Require(loaded.ok() == !expected->empty(), "the bank loads unless it holds no sounds");
  for (std::uint32_t i = 0; i < editor.Count(); ++i) {
    auto samples = editor.SampleData(i);
    Require(samples && std::equal(samples->begin(), samples->end(), (*expected)[i].Data.begin(),
                                  (*expected)[i].Data.end()),
            "every sound loads back with its samples");
  }
}

}  // namespace
}  // namespace Orvane::Fuzz

ORVANE_FUZZ_TARGET(Orvane::Fuzz::CreateFromFiles)
