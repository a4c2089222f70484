#include "SoundEditor.h"

#include <algorithm>

#include "BankHeaders.h"
#include "Text.h"
#include "Wave.h"
#include "WorkingDirectory.h"

namespace Orvane {

CSoundEditor::CSoundEditor() = default;
CSoundEditor::~CSoundEditor() = default;

Status CSoundEditor::LoadBank(const std::filesystem::path& file) {
  auto bank = LoadedBank::Read(file);
  if (!bank) {
    if (bank.kind() == ErrorKind::NoSounds) Clear();
    return BankOpenFailure(file, bank.status());
  }
  m_pFileBuffer = std::move(*bank);
  m_FileSize = static_cast<std::uint32_t>(m_pFileBuffer->Bytes().size());
  m_Entries = m_pFileBuffer->Slots();
  path_ = file;
  stamp_ = m_pFileBuffer->Stamp();
  history_.Clear();
  lastLayout_.reset();
  peaks_.Clear();
  levels_.Clear();
  FollowSounds();
  offsetsStale_ = false;  // as the file has them
  plannedSize_ = m_FileSize;
  return Status::Ok();
}

void CSoundEditor::Clear() {
  m_Entries.clear();
  m_pFileBuffer.reset();
  m_FileSize = 0;
  path_.clear();
  stamp_ = {};
  history_.Clear();
  lastLayout_.reset();
  peaks_.Clear();
  levels_.Clear();
  FollowSounds();
}

void CSoundEditor::FollowSounds() {
  m_Count = static_cast<std::uint32_t>(m_Entries.size());
  offsetsStale_ = true;
}

std::span<const std::uint8_t> CSoundEditor::FileBytes() const {
  return m_pFileBuffer ? m_pFileBuffer->Bytes() : std::span<const std::uint8_t>();
}

Result<BankPlan> CSoundEditor::Plan() const {
  if (!m_pFileBuffer)
    return Result<BankPlan>::Error(ErrorKind::NotFound, "no bank is loaded");
  return PlanBank(*m_pFileBuffer, m_Entries);
}

void CSoundEditor::RefreshOffsets() const {
  if (!offsetsStale_) return;
  offsetsStale_ = false;
  // Never fails: every edit is checked against the plan it makes.
  if (auto plan = Plan()) ShowPlan(*plan);
}

void CSoundEditor::ShowPlan(const BankPlan& plan) const {
  offsetsStale_ = false;
  plannedSize_ = plan.Size;
  for (std::size_t i = 0; i < m_Entries.size(); ++i) {
    SoundSlot& sound = m_Entries[i];
    // A damaged sound stays where its table entry points until it is mended or removed.
    const bool asLoaded = sound.Element.Damaged() && IsUntouched(*m_pFileBuffer, sound);
    sound.Element.Offset = asLoaded ? sound.Origin : plan.Offsets[i];
  }
}

const BankEntry& CSoundEditor::Entry(std::uint32_t index) const {
  RefreshOffsets();
  return m_Entries[index].Element;
}

Result<SoundSlot> CSoundEditor::SoundAt(std::uint32_t index) const {
  if (Status there = CheckIndex(index); !there) return Result<SoundSlot>(there);
  return m_Entries[index];
}

Status CSoundEditor::CheckIndex(std::uint32_t index) const {
  if (index < m_Count) return Status::Ok();
  return Status::Error(
      ErrorKind::NotFound,
      m_Count == 0 ? Str("there is no sound ", index, ": no bank is loaded")
                   : Str("there is no sound ", index, ": the bank has ", m_Count,
                         " sounds, numbered 0 to ", m_Count - 1),
      {path_.string(), index, {}});
}

std::span<const std::uint8_t> CSoundEditor::ExtraHeader(std::uint32_t index) const {
  return index < m_Count ? ExtraHeaderBytes(m_Entries[index]) : std::span<const std::uint8_t>();
}

Result<std::span<const std::uint8_t>> CSoundEditor::SampleData(std::uint32_t index) const {
  using Span = Result<std::span<const std::uint8_t>>;
  if (Status there = CheckIndex(index); !there) return Span(there);
  // Read in place: playback and export come here for every sound.
  const SoundSlot& sound = m_Entries[index];
  if (sound.Element.Damaged())
    return Span::Error(ErrorKind::Damaged, Str("sound ", index, " is damaged: ", sound.Element.Damage),
                       {path_.string(), index, Entry(index).Offset});
  return sound.Samples.Bytes;
}

Result<std::shared_ptr<const SoundPeaks>> CSoundEditor::Peaks(std::uint32_t index) const {
  if (auto samples = SampleData(index); !samples) return samples.status();
  const TbSoundEntry& header = m_Entries[index].Element.Entry;
  return peaks_.Get(m_Entries[index].Samples, header.BitsPerSample, header.NumChannels);
}

Result<SoundSamples> CSoundEditor::SamplesOf(std::uint32_t index) const {
  if (auto samples = SampleData(index); !samples) return samples.status();
  return SoundSamples{m_Entries[index].Samples, SoundFormat::Of(m_Entries[index].Element.Entry)};
}

std::optional<Audio::Levels> CSoundEditor::KnownLevels(std::uint32_t index) const {
  if (index >= m_Count) return std::nullopt;
  const SoundSlot& sound = m_Entries[index];
  return levels_.Find(sound.Samples, SoundFormat::Of(sound.Element.Entry));
}

Result<Audio::Levels> CSoundEditor::Measure(const SoundSamples& sound) const {
  auto levels = MeasureLevels(sound);
  if (levels) levels_.Keep(sound, *levels);
  return levels;
}

Result<std::vector<std::uint8_t>> CSoundEditor::BuildPlayImage(std::uint32_t index) const {
  auto samples = SampleData(index);
  if (!samples) return Result<std::vector<std::uint8_t>>(samples.status());
  const auto header = WAVE::FromEntry(m_Entries[index].Element.Entry).Encode();
  std::vector<std::uint8_t> image;
  image.reserve(header.size() + samples->size());
  image.insert(image.end(), header.begin(), header.end());
  image.insert(image.end(), samples->begin(), samples->end());
  return image;
}

std::uint64_t CSoundEditor::RoomFor(std::uint64_t replacedBytes) const {
  RefreshOffsets();
  const std::uint64_t used = plannedSize_ - std::min(plannedSize_, replacedBytes);
  return kMaxBankFileSize - std::min(kMaxBankFileSize, used);
}

Result<EditOutcome> CSoundEditor::Commit(std::unique_ptr<BankChange> change, std::string summary) {
  auto before = CurrentLayout();
  RowChange rows = change->Apply(m_Entries);
  FollowSounds();
  auto plan = Plan();
  if (!plan) {
    change->Revert(m_Entries);
    FollowSounds();
    return Result<EditOutcome>(plan.status().At({path_.string()}));
  }
  ShowPlan(*plan);
  history_.Record(std::move(change));
  lastLayout_ = std::move(before);
  return EditOutcome{std::move(rows), std::move(summary)};
}

Result<EditOutcome> CSoundEditor::SetFields(std::uint32_t index, const FieldEdit& fields) {
  auto sound = SoundAt(index);
  if (!sound) return Result<EditOutcome>(sound.status());
  auto changed = WithFields(*sound, fields);
  if (!changed) return Result<EditOutcome>(changed.status().At({path_.string(), index, {}}));
  const std::string label = SoundLabel(index, sound->Element.Entry);
  if (changed->Element.Entry == sound->Element.Entry)
    return EditOutcome{{RowChange::Kind::Changed, {}},
                       Str("Sound ", label, " already has those values; nothing changed")};
  return Commit(std::make_unique<SoundsChanged>(
                    Str("Edit sound ", index),
                    std::vector<SoundsChanged::Exchange>{{index, std::move(*sound), std::move(*changed)}}),
                Str("Changed sound ", label));
}

Result<EditOutcome> CSoundEditor::Insert(std::uint32_t index, const std::filesystem::path& file,
                                         const InsertOptions& options, const Reporter& report) {
  if (!m_pFileBuffer)
    return Result<EditOutcome>::Error(ErrorKind::NotFound, "no bank is loaded");
  if (index > m_Count)
    return Result<EditOutcome>::Error(
        ErrorKind::NotFound,
        Str("a sound can be inserted at 0 to ", m_Count, " (the end), not at ", index),
        {path_.string(), index, {}});
  const Reporter about = AboutSound(report, index);
  std::string name;
  if (options.Name) {
    auto bytes = BankNameOf(*options.Name);
    if (!bytes) return Result<EditOutcome>(bytes.status());
    name = std::move(*bytes);
  } else {
    name = NameFromFile(file, about);
  }
  auto samples = BringSamples(file, options.Format, RoomFor(0), about);
  if (!samples) return Result<EditOutcome>(samples.status());
  SoundSlot sound = NewSound(*samples, name);
  const std::string label = SoundLabel(index, sound.Element.Entry);
  return Commit(std::make_unique<SoundInserted>(Str("Insert sound ", index), index, std::move(sound)),
                Str("Inserted sound ", label, " from ", file.filename().string()));
}

Result<EditOutcome> CSoundEditor::Remove(std::vector<std::uint32_t> indexes) {
  std::sort(indexes.begin(), indexes.end());
  if (indexes.empty())
    return Result<EditOutcome>::Error(ErrorKind::Refused, "no sound to remove was given");
  if (std::adjacent_find(indexes.begin(), indexes.end()) != indexes.end())
    return Result<EditOutcome>::Error(ErrorKind::Refused, "each sound can be removed only once");
  if (auto last = SoundAt(indexes.back()); !last) return Result<EditOutcome>(last.status());
  if (indexes.size() >= m_Count)
    return Result<EditOutcome>::Error(ErrorKind::Refused,
                                      "a bank keeps at least one sound; this would remove all of them",
                                      {path_.string()});
  std::vector<std::pair<std::uint32_t, SoundSlot>> removed;
  removed.reserve(indexes.size());
  for (std::uint32_t i : indexes) removed.emplace_back(i, m_Entries[i]);
  const std::string what = indexes.size() == 1
                               ? Str("sound ", SoundLabel(indexes[0], m_Entries[indexes[0]].Element.Entry))
                               : Str(indexes.size(), " sounds");
  const std::string name =
      indexes.size() == 1 ? Str("Remove sound ", indexes[0]) : Str("Remove ", indexes.size(), " sounds");
  return Commit(std::make_unique<SoundsRemoved>(name, std::move(removed)), Str("Removed ", what));
}

std::optional<CSoundEditor::ShownLayout> CSoundEditor::CurrentLayout() const {
  if (offsetsStale_) return std::nullopt;
  ShownLayout layout{history_.State(), {}, plannedSize_};
  layout.Offsets.reserve(m_Entries.size());
  for (const SoundSlot& sound : m_Entries) layout.Offsets.push_back(sound.Element.Offset);
  return layout;
}

std::optional<RowChange> CSoundEditor::Step(bool back) {
  auto before = CurrentLayout();
  auto rows = back ? history_.Undo(m_Entries) : history_.Redo(m_Entries);
  if (!rows) return rows;
  FollowSounds();
  if (lastLayout_ && lastLayout_->State == history_.State() &&
      lastLayout_->Offsets.size() == m_Entries.size()) {
    for (std::size_t i = 0; i < m_Entries.size(); ++i)
      m_Entries[i].Element.Offset = lastLayout_->Offsets[i];
    plannedSize_ = lastLayout_->Size;
    offsetsStale_ = false;
  }
  lastLayout_ = std::move(before);
  return rows;
}

std::optional<RowChange> CSoundEditor::Undo() { return Step(/*back=*/true); }

std::optional<RowChange> CSoundEditor::Redo() { return Step(/*back=*/false); }

Status CSoundEditor::CreateBank(const std::filesystem::path& file, const Reporter& report) {
  return CreateBankFrom(OutputFolder(), file, {}, report);
}

Status CSoundEditor::CreateBankFrom(const std::filesystem::path& folder,
                                    const std::filesystem::path& file,
                                    const CreateOptions& options, const Reporter& report) {
  return Orvane::CreateBankFrom(folder, file, report, options);
}

}  // namespace Orvane
