// Runs a script of edits (FuzzedEdits.h) on a fuzzed bank: sounds replaced by small WAVE files,
// fields set, sounds inserted and removed, edits undone and redone, the bank saved. A model of
// its own follows every edit that succeeds. After each step the editor's sounds are the model's;
// every save loads back as the model, with the offsets the editor showed before it; and once
// every edit is undone, saving writes the loaded file byte for byte.
#include <algorithm>
#include <memory>
#include <optional>

#include "CodePage.h"
#include "FuzzSupport.h"
#include "FuzzedEdits.h"
#include "SoundEditor.h"
#include "SoundReplacement.h"
#include "SoundFormat.h"
#include "TestFiles.h"
#include "Text.h"

namespace Orvane::Fuzz {
namespace {

class Script {
 public:
  explicit Script(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool Done() const { return at_ >= bytes_.size(); }
  std::uint8_t Byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
  std::uint32_t U32() {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value |= std::uint32_t{Byte()} << (8 * i);
    return value;
  }
  Bytes Take(std::size_t n) {
    n = std::min(n, bytes_.size() - std::min(at_, bytes_.size()));
    Bytes out(bytes_.begin() + static_cast<std::ptrdiff_t>(at_),
              bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + n));
    at_ += n;
    return out;
  }
  std::string Name() {
    const Bytes bytes = Take(Byte() % (kMaxNameBytes + 1));
    return std::string(bytes.begin(), bytes.end());
  }
  std::uint32_t Index(std::size_t count) {
    const std::uint8_t b = Byte();
    return b == kPastAnyBank ? 0xFFFFFFFFu : static_cast<std::uint32_t>(b % (count + 2));
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// A sound as the model expects it.
struct Sound {
  TbSoundEntry Header;
  std::shared_ptr<const Bytes> Samples;  // none while the sound is damaged
  std::optional<std::uint32_t> Origin;   // its header's offset in the loaded file; none when new
};

// The bank at every step the history can reach, the step applied and the step last saved.
class Model {
 public:
  explicit Model(std::vector<Sound> loaded) { states_.push_back(std::move(loaded)); }
  const std::vector<Sound>& Now() const { return states_[applied_]; }
  void Record(std::vector<Sound> next) {
    if (saved_ && *saved_ > applied_) saved_.reset();  // the saved step is dropped with the redo steps
    states_.resize(applied_ + 1);
    states_.push_back(std::move(next));
    ++applied_;
  }
  bool Undo() { return applied_ > 0 ? (--applied_, true) : false; }
  bool Redo() { return applied_ + 1 < states_.size() ? (++applied_, true) : false; }
  void MarkSaved() { saved_ = applied_; }
  bool Modified() const { return saved_ != applied_; }
  bool AnyDamaged() const {
    return std::any_of(Now().begin(), Now().end(), [](const Sound& s) { return !s.Samples; });
  }

 private:
  std::vector<std::vector<Sound>> states_;
  std::size_t applied_ = 0;
  std::optional<std::size_t> saved_ = 0;
};

struct Scratch {
  fs::path Folder = ScratchFolder("edit");
  fs::path Bank = Folder / "fuzzed.sdt";
  fs::path Beside = Folder / "saved.sdt";
  fs::path Undone = Folder / "undone.sdt";
};

struct Run {
  CSoundEditor& Editor;
  const Scratch& Files;
  std::span<const std::uint8_t> Bank;
  bool Loaded;
  Model Expected;
  Script Edits;
};

void Quiet(const Report&) {}

std::vector<Sound> LoadedSounds(const CSoundEditor& editor, std::span<const std::uint8_t> bank) {
  std::vector<Sound> sounds;
  for (std::uint32_t i = 0; i < editor.Count(); ++i) {
    const BankEntry& element = editor.Entry(i);
    Sound sound{element.Entry, nullptr, element.Offset};
    if (!element.Damaged()) {
      const auto samples = bank.subspan(std::uint64_t{element.Offset} + element.Entry.HeaderSize,
                                        element.Entry.DataSize);
      sound.Samples = std::make_shared<const Bytes>(samples.begin(), samples.end());
    }
    sounds.push_back(std::move(sound));
  }
  return sounds;
}

void CheckSounds(const CSoundEditor& editor, const std::vector<Sound>& expected, const char* what) {
  const auto check = [&](bool holds, std::uint32_t i, const char* part) {
    if (!holds) Fail(Str(what, ": sound ", i, "'s ", part));
  };
  Require(editor.Count() == expected.size(), what);
  for (std::uint32_t i = 0; i < expected.size(); ++i) {
    check(editor.Entry(i).Entry == expected[i].Header, i, "header");
    check(editor.Entry(i).Damaged() == !expected[i].Samples, i, "damage");
    if (!expected[i].Samples) continue;
    const auto samples = editor.SampleData(i);
    check(samples && std::equal(samples->begin(), samples->end(), expected[i].Samples->begin(),
                                expected[i].Samples->end()),
          i, "samples");
  }
}

// True or false for a name of plain ASCII: whether the field holds it; none for other bytes,
// which the code page may or may not spell.
std::optional<bool> AsciiNameFits(const std::string& name) {
  if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
    return std::nullopt;
  return name.size() <= TbSoundEntry::kNameSize && name.find('\0') == std::string::npos;
}

// What a SetFields or an Insert reads first: the index, the flags, and a name when the flags
// have `named`.
struct EditHead {
  std::uint32_t Index;
  std::uint8_t Flags;
  std::optional<std::string> Name;
};

EditHead ReadHead(Run& run, std::uint8_t named) {
  EditHead head{run.Edits.Index(run.Expected.Now().size()), run.Edits.Byte(), std::nullopt};
  if (head.Flags & named) head.Name = run.Edits.Name();
  return head;
}

// Whether an edit that gave `name` (none: kept) went as the name rule says: a name of plain
// ASCII is refused exactly when the field cannot hold it. `always` is what an edit with a name
// the field holds promises. True when the edit was made.
bool FollowsNameRule(bool done, const std::optional<std::string>& name, const char* always) {
  const std::optional<bool> fits = name ? AsciiNameFits(*name) : true;
  if (!done) {
    Require(fits != true, always);
    return false;
  }
  Require(fits != false, "a name the field cannot hold is refused");
  return true;
}

// The bytes sound `index` took for the UTF-8 `name`: they must spell it.
std::string StoredName(const Run& run, std::uint32_t index, const std::string& name) {
  const std::string stored = run.Editor.Entry(index).Entry.NameBytes();
  Require(stored.size() <= TbSoundEntry::kNameSize && Cp1252ToUtf8(stored) == name,
          "a name is stored as the code page spells it");
  return stored;
}

// A small WAVE file for an edit, and what a bank should make of it.
struct Wave {
  fs::path Path;
  std::uint32_t RateHz = 0;
  SoundFormat Format;  // the file's own, as a bank would store it
  Bytes Data;
  std::string StemName;  // what an insert without a name calls the sound

  bool FitsBank() const { return RateHz >= 100 && RateHz <= 32767; }
  std::size_t Frame() const { return std::size_t{Format.NumChannels} * Format.BitsPerSample / 8; }
};

// Whether a WAVE file can have exactly the format of `header`.
bool WaveCanHave(const TbSoundEntry& header) {
  return header.SampleRate >= 2 && header.SampleRate % 2 == 0 && header.NumChannels >= 1 &&
         header.BitsPerSample >= 8 && header.BitsPerSample <= 32 && header.BitsPerSample % 8 == 0;
}

Wave MakeWave(Run& run, const TbSoundEntry* replaced) {
  const std::uint8_t shape = run.Edits.Byte();
  std::uint32_t rate = 22050;
  std::uint16_t bits = shape & kWave8Bits ? 8 : 16;
  std::uint16_t channels = shape & kWaveStereo ? 2 : 1;
  switch (shape & kWaveRate) {
    case kWaveSoundsOwn:
      if (replaced && WaveCanHave(*replaced)) {
        rate = replaced->SampleRate / 2u;
        bits = replaced->BitsPerSample;
        channels = replaced->NumChannels;
      }
      break;
    case kWave11025: rate = 11025; break;
    case kWave44100: rate = 44100; break;
    default: break;
  }
  Wave wave;
  wave.RateHz = rate;
  wave.Format = {static_cast<std::uint16_t>(wave.FitsBank() ? rate * 2 : 0), static_cast<std::uint8_t>(bits),
                 static_cast<std::uint8_t>(channels)};
  wave.Data = run.Edits.Take(run.Edits.Byte());
  std::string stem = "w";
  wave.StemName = stem;
  if ((shape & kWaveStem) == kWaveLongStem) {
    stem = "a-stem-longer-than-a-name";
    wave.StemName = stem.substr(0, TbSoundEntry::kNameSize);
  } else if ((shape & kWaveStem) == kWaveForeignStem) {
    stem = "snow\xE2\x98\x83";
    wave.StemName = "snow?";
  }
  wave.Path = run.Files.Folder / (stem + ".wav");
  WriteBytes(wave.Path, Test::MakeWave(wave.Data, rate, bits, channels));
  return wave;
}

// The format `wave` comes in under `request`: its own where a bank holds it, else 22,050 Hz
// 16-bit with its channels; each field asked for as asked.
SoundFormat TargetOf(const Wave& wave, const FormatRequest& request) {
  SoundFormat target = wave.FitsBank() ? wave.Format : SoundFormat{44100, 16, wave.Format.NumChannels};
  target.SampleRate = request.SampleRate.value_or(target.SampleRate);
  target.BitsPerSample = request.BitsPerSample.value_or(target.BitsPerSample);
  target.NumChannels = request.NumChannels.value_or(target.NumChannels);
  return target;
}

bool Copies(const Wave& wave, const SoundFormat& target) {
  return wave.FitsBank() && target == wave.Format;
}

// The samples sound `index` got from `wave`: the file's own bytes when they were copied;
// converted ones as the editor holds them, in whole frames, as many as the file's unless
// resampled.
std::shared_ptr<const Bytes> ImportedSamples(const Run& run, std::uint32_t index, const Wave& wave,
                                             const SoundFormat& target) {
  if (Copies(wave, target)) return std::make_shared<const Bytes>(wave.Data);
  const auto got = run.Editor.SampleData(index);
  Require(got.ok(), "an imported sound has samples");
  const std::size_t frame = std::size_t{target.NumChannels} * target.BitsPerSample / 8;
  Require(frame > 0 && got->size() % frame == 0, "converted samples are whole frames");
  if (target.SampleRate == 2 * wave.RateHz)
    Require(got->size() / frame == wave.Data.size() / wave.Frame(),
            "a conversion that does not resample keeps every frame");
  return std::make_shared<const Bytes>(got->begin(), got->end());
}

void ReplaceSound(Run& run) {
  const auto& now = run.Expected.Now();
  const std::uint32_t index = run.Edits.Index(now.size());
  const bool filesOwn = (run.Edits.Byte() & kFilesOwn) != 0;
  const Sound* sound = index < now.size() ? &now[index] : nullptr;
  const Wave wave = MakeWave(run, sound ? &sound->Header : nullptr);
  const auto done =
      ReplaceSound(run.Editor, index, wave.Path, filesOwn ? ReplaceFormat::FilesOwn : ReplaceFormat::SoundsOwn,
                         Quiet);
  if (!sound) return Require(done.kind() == ErrorKind::NotFound, "only a sound of the bank is replaced");
  const SoundFormat target = filesOwn ? TargetOf(wave, {}) : SoundFormat::Of(sound->Header);
  // A sound's own format is a target from 100 Hz, the lowest rate playback takes; conversion
  // takes sources from 1,000 Hz, so a file that does not fit and is slower cannot come in.
  const bool takesOwn = sound->Header.SampleRate >= 2 * 100;
  const bool convertible = wave.FitsBank() || wave.RateHz >= 1000;
  if (!done) {
    Require((!filesOwn || !convertible) && !(takesOwn && Copies(wave, target)),
            "a WAVE file replaces any sound in its own format, or in the sound's when it has it");
    return;
  }
  Sound next = *sound;
  target.ApplyTo(next.Header);
  next.Samples = ImportedSamples(run, index, wave, target);
  next.Header.DataSize = static_cast<std::uint32_t>(next.Samples->size());
  // The extra bytes of the header stay where the loaded file holds them; a header of fewer
  // than 40 bytes shares them with its samples, and written afresh it gets all 40.
  const std::uint32_t headerSize = next.Header.HeaderSize;
  const bool extraKept = headerSize == TbSoundEntry::kSize ||
                         (headerSize > TbSoundEntry::kSize && sound->Origin &&
                          *sound->Origin + std::uint64_t{headerSize} <= run.Bank.size());
  if (!extraKept) next.Header.HeaderSize = TbSoundEntry::kSize;
  auto sounds = now;
  sounds[index] = std::move(next);
  run.Expected.Record(std::move(sounds));
}

void SetFields(Run& run) {
  const auto& now = run.Expected.Now();
  const auto [index, which, name] = ReadHead(run, kSetName);
  FieldEdit edit{.Name = name};
  if (which & kSetUnknown) edit.Unknown = run.Edits.U32();
  if (which & kSetLoopStart) edit.LoopStart = run.Edits.U32();
  if (which & kSetLoopEnd) edit.LoopEnd = run.Edits.U32();
  const auto done = run.Editor.SetFields(index, edit);
  if (index >= now.size()) return Require(done.kind() == ErrorKind::NotFound, "only a sound of the bank is set");
  if (!FollowsNameRule(done.ok(), edit.Name, "numbers and a name the field holds are always set")) return;

  const Sound& sound = now[index];
  TbSoundEntry h = sound.Header;
  if (edit.Name) {
    // The same name keeps whatever its field holds after the terminator.
    const std::string stored = StoredName(run, index, *edit.Name);
    if (stored != h.NameBytes()) h.SetName(stored);
  }
  h.Unknown = edit.Unknown.value_or(h.Unknown);
  h.LoopStart = edit.LoopStart.value_or(h.LoopStart);
  h.LoopEnd = edit.LoopEnd.value_or(h.LoopEnd);
  if (h == sound.Header) return Require(done->Rows.Rows.empty(), "an edit that changes nothing is not made");
  if (h.HeaderSize < TbSoundEntry::kSize) h.HeaderSize = TbSoundEntry::kSize;
  auto sounds = now;
  sounds[index].Header = h;
  run.Expected.Record(std::move(sounds));
}

void InsertSound(Run& run) {
  const auto& now = run.Expected.Now();
  const auto [index, flags, name] = ReadHead(run, kNamed);
  InsertOptions options{.Name = name};
  if (flags & kAskBits) options.Format.BitsPerSample = flags & kAsk8Bits ? 8 : 16;
  if (flags & kAskMono) options.Format.NumChannels = 1;
  if (flags & kAskLowRate) options.Format.SampleRate = 2 * 11025;
  const Wave wave = MakeWave(run, nullptr);
  const auto done = InsertSound(run.Editor, index, wave.Path, options, Quiet);
  if (!run.Loaded || index > now.size())
    return Require(done.kind() == ErrorKind::NotFound, "a sound goes only into a bank, at most at its end");
  if (!FollowsNameRule(done.ok(), options.Name, "a WAVE file is inserted under any name the field holds")) return;
  Require(done->Rows.What == RowChange::Kind::Inserted && done->Rows.Rows == std::vector{index},
          "an insert names its row");

  const SoundFormat target = TargetOf(wave, options.Format);
  Sound sound;
  sound.Samples = ImportedSamples(run, index, wave, target);
  sound.Header.HeaderSize = TbSoundEntry::kSize;
  sound.Header.DataSize = static_cast<std::uint32_t>(sound.Samples->size());
  sound.Header.SetName(options.Name ? StoredName(run, index, *options.Name) : wave.StemName);
  target.ApplyTo(sound.Header);
  auto sounds = now;
  sounds.insert(sounds.begin() + index, std::move(sound));
  run.Expected.Record(std::move(sounds));
}

void RemoveSounds(Run& run) {
  const auto& now = run.Expected.Now();
  std::vector<std::uint32_t> indexes(run.Edits.Byte() % (kMaxRemoved + 1));
  for (auto& index : indexes) index = run.Edits.Index(now.size());
  const auto done = run.Editor.Remove(indexes);
  std::sort(indexes.begin(), indexes.end());
  const bool allowed = !indexes.empty() && std::adjacent_find(indexes.begin(), indexes.end()) == indexes.end() &&
                       indexes.back() < now.size() && indexes.size() < now.size();
  Require(done.ok() == allowed,
          "removal is refused exactly for no index, one twice, one past the end or every sound");
  if (!done) return;
  Require(done->Rows.What == RowChange::Kind::Removed && done->Rows.Rows == indexes,
          "a removal names its rows");
  auto sounds = now;
  for (auto i = indexes.rbegin(); i != indexes.rend(); ++i) sounds.erase(sounds.begin() + *i);
  run.Expected.Record(std::move(sounds));
}

// Saving writes the model, and the offsets the editor showed before are the ones written.
void SaveBank(Run& run) {
  const fs::path target = run.Edits.Byte() & kOverLoaded ? run.Files.Bank : run.Files.Beside;
  std::vector<std::uint32_t> shown;
  for (std::uint32_t i = 0; i < run.Editor.Count(); ++i) shown.push_back(run.Editor.Entry(i).Offset);
  const Status saved = run.Editor.Save(target);
  if (!run.Loaded) return Require(saved.kind() == ErrorKind::NotFound, "nothing is saved with no bank loaded");
  if (run.Expected.AnyDamaged())
    return Require(saved.kind() == ErrorKind::Damaged, "saving is refused while a sound is damaged");
  if (!saved) Fail("a bank without damaged sounds was not saved: " + saved.message());
  run.Expected.MarkSaved();
  Require(run.Editor.BankPath() == target, "the saved file is the bank's file");

  CSoundEditor reloaded;
  if (Status s = reloaded.LoadBank(target); !s) Fail("the saved bank does not load: " + s.message());
  CheckSounds(reloaded, run.Expected.Now(), "the saved bank loads back as the edited one");
  for (std::uint32_t i = 0; i < shown.size(); ++i)
    Require(reloaded.Entry(i).Offset == shown[i] && run.Editor.Entry(i).Offset == shown[i],
            "the offsets shown before saving are the ones written");
}

void Step(Run& run) {
  switch (static_cast<EditOp>(run.Edits.Byte() % static_cast<std::uint8_t>(EditOp::Count))) {
    case EditOp::Replace: return ReplaceSound(run);
    case EditOp::SetFields: return SetFields(run);
    case EditOp::Insert: return InsertSound(run);
    case EditOp::Remove: return RemoveSounds(run);
    case EditOp::Undo:
      return Require(run.Editor.Undo().has_value() == run.Expected.Undo(), "undo steps back over one edit");
    case EditOp::Redo:
      return Require(run.Editor.Redo().has_value() == run.Expected.Redo(), "redo steps forward over one edit");
    default: return SaveBank(run);
  }
}

void CheckEditor(const Run& run) {
  CheckSounds(run.Editor, run.Expected.Now(), "the editor holds the model's sounds");
  Require(run.Editor.IsModified() == run.Expected.Modified(),
          "the bank is modified exactly when it is not at the step last saved");
}

void EditBank(std::span<const std::uint8_t> input) {
  static const Scratch scratch;
  const auto [bank, script] = SplitAt(input, kEditMarker);
  WriteBytes(scratch.Bank, bank);

  CSoundEditor editor;
  const bool loaded = editor.LoadBank(scratch.Bank).ok();
  Run run{editor, scratch, bank, loaded, Model(LoadedSounds(editor, bank)),
          Script(script.value_or(std::span<const std::uint8_t>{}))};
  for (std::size_t n = 0; n < kMaxEdits && !run.Edits.Done(); ++n) {
    Step(run);
    CheckEditor(run);
  }
  if (!loaded) return;

  while (run.Expected.Undo()) Require(editor.Undo().has_value(), "every edit can be undone");
  Require(!editor.Undo(), "undo stops at the loaded bank");
  CheckEditor(run);
  const Status saved = editor.Save(scratch.Undone);
  if (run.Expected.AnyDamaged())
    Require(saved.kind() == ErrorKind::Damaged, "a bank with damaged sounds is not saved");
  else
    Require(saved.ok() && ReadBytes(scratch.Undone) == Bytes(bank.begin(), bank.end()),
            "with every edit undone, saving writes the loaded file as it was");
}

}  // namespace
}  // namespace Orvane::Fuzz

ORVANE_FUZZ_TARGET(Orvane::Fuzz::EditBank)
