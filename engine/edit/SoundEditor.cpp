#include "SoundEditor.h"

#include <algorithm>

#include "BankHeaders.h"
#include "PathUtf8.h"
#include "SoundExport.h"
#include "Text.h"

namespace Orvane {

CSoundEditor::CSoundEditor(SoundOutput* output)
    : playback_(*this, output), levels_(*this), waveforms_(*this) {}

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
  levels_.Clear();
  waveforms_.Clear();
  FollowSounds();
  layout_.Loaded(m_FileSize);  // the offsets the file has
  return Status::Ok();
}

void CSoundEditor::Clear() {
  m_Entries.clear();
  m_pFileBuffer.reset();
  m_FileSize = 0;
  path_.clear();
  stamp_ = {};
  history_.Clear();
  levels_.Clear();
  waveforms_.Clear();
  FollowSounds();
  layout_.Loaded(0);
}

Status CSoundEditor::Export(std::uint32_t index, const std::filesystem::path& folder) const {
  return ExportSound(*this, index, folder);
}

Status CSoundEditor::Play(std::uint32_t index) { return playback_.Play(index); }

Status CSoundEditor::CreateBank(const std::filesystem::path& folder,
                                const std::filesystem::path& file, const CreateOptions& options,
                                const Reporter& report) {
  return CreateBankFrom(folder, file, report, options);
}

void CSoundEditor::FollowSounds() {
  m_Count = static_cast<std::uint32_t>(m_Entries.size());
  layout_.Changed();
}

std::span<const std::uint8_t> CSoundEditor::FileBytes() const {
  return m_pFileBuffer ? m_pFileBuffer->Bytes() : std::span<const std::uint8_t>();
}

const BankEntry& CSoundEditor::Entry(std::uint32_t index) const {
  if (m_pFileBuffer) layout_.Refresh(*m_pFileBuffer, m_Entries);
  return m_Entries[index].Element;
}

Status CSoundEditor::CheckIndex(std::uint32_t index) const {
  if (index < m_Count) return Status::Ok();
  return Status::Error(
      ErrorKind::NotFound,
      m_Count == 0 ? Str("there is no sound ", index, ": no bank is loaded")
                   : Str("there is no sound ", index, ": the bank has ", m_Count,
                         " sounds, numbered 0 to ", m_Count - 1),
      {PathToUtf8(path_), index, {}});
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
                       {PathToUtf8(path_), index, Entry(index).Offset});
  return sound.Samples.Bytes;
}

Result<SoundSamples> CSoundEditor::SamplesOf(std::uint32_t index) const {
  if (auto samples = SampleData(index); !samples) return samples.status();
  return SoundSamples{m_Entries[index].Samples, SoundFormat::Of(m_Entries[index].Element.Entry)};
}

std::uint64_t CSoundEditor::RoomFor(std::uint64_t replacedBytes) const {
  if (m_pFileBuffer) layout_.Refresh(*m_pFileBuffer, m_Entries);
  const std::uint64_t used = layout_.Size() - std::min(layout_.Size(), replacedBytes);
  return kMaxBankFileSize - std::min(kMaxBankFileSize, used);
}

Result<EditOutcome> CSoundEditor::Apply(std::unique_ptr<BankChange> change, std::string summary) {
  if (!m_pFileBuffer) return Result<EditOutcome>::Error(ErrorKind::NotFound, "no bank is loaded");
  layout_.Leaving(history_.State(), m_Entries);
  RowChange rows = change->Apply(m_Entries);
  FollowSounds();
  auto plan = PlanBank(*m_pFileBuffer, m_Entries);
  if (!plan) {
    change->Revert(m_Entries);
    FollowSounds();
    return Result<EditOutcome>(plan.status().At({PathToUtf8(path_)}));
  }
  layout_.Show(*m_pFileBuffer, m_Entries, *plan);
  layout_.Edited();
  history_.Record(std::move(change));
  return EditOutcome{std::move(rows), std::move(summary)};
}

Result<EditOutcome> CSoundEditor::SetFields(std::uint32_t index, const FieldEdit& fields) {
  if (Status there = CheckIndex(index); !there) return Result<EditOutcome>(there);
  const SoundSlot& sound = m_Entries[index];
  auto changed = WithFields(sound, fields);
  if (!changed) return Result<EditOutcome>(changed.status().At({PathToUtf8(path_), index, {}}));
  const std::string label = SoundLabel(index, sound.Element.Entry);
  if (changed->Element.Entry == sound.Element.Entry)
    return EditOutcome{{RowChange::Kind::Changed, {}},
                       Str("Sound ", label, " already has those values; nothing changed")};
  return Apply(std::make_unique<SoundsChanged>(
                   Str("Edit sound ", index),
                   std::vector<SoundsChanged::Exchange>{{index, sound, std::move(*changed)}}),
               Str("Changed sound ", label));
}

Result<EditOutcome> CSoundEditor::Remove(std::vector<std::uint32_t> indexes) {
  std::sort(indexes.begin(), indexes.end());
  if (indexes.empty())
    return Result<EditOutcome>::Error(ErrorKind::Refused, "no sound to remove was given",
                                      {PathToUtf8(path_)});
  if (const auto twice = std::adjacent_find(indexes.begin(), indexes.end()); twice != indexes.end())
    return Result<EditOutcome>::Error(ErrorKind::Refused, "each sound can be removed only once",
                                      {PathToUtf8(path_), *twice, {}});
  if (Status there = CheckIndex(indexes.back()); !there) return Result<EditOutcome>(there);
  if (indexes.size() >= m_Count)
    return Result<EditOutcome>::Error(ErrorKind::Refused,
                                      "a bank keeps at least one sound; this would remove all of them",
                                      {PathToUtf8(path_)});
  std::vector<std::pair<std::uint32_t, SoundSlot>> removed;
  removed.reserve(indexes.size());
  for (std::uint32_t i : indexes) removed.emplace_back(i, m_Entries[i]);
  const std::string what = indexes.size() == 1
                               ? Str("sound ", SoundLabel(indexes[0], m_Entries[indexes[0]].Element.Entry))
                               : Str(indexes.size(), " sounds");
  const std::string name =
      indexes.size() == 1 ? Str("Remove sound ", indexes[0]) : Str("Remove ", indexes.size(), " sounds");
  return Apply(std::make_unique<SoundsRemoved>(name, std::move(removed)), Str("Removed ", what));
}

Result<EditOutcome> CSoundEditor::TakeFrom(const CSoundEditor& other,
                                           std::vector<std::uint32_t> indexes,
                                           const std::string& otherName) {
  std::sort(indexes.begin(), indexes.end());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  std::vector<SoundsChanged::Exchange> exchanges;
  std::vector<std::string> details;
  for (const std::uint32_t index : indexes) {
    if (Status there = CheckIndex(index); !there) return there;
    if (Status there = other.CheckIndex(index); !there) return there.Prefixed(otherName + ": ");
    const SoundSlot& theirs = other.m_Entries[index];
    if (theirs.Element.Damaged())
      return Result<EditOutcome>::Error(
          ErrorKind::Damaged,
          Str(otherName, ": sound ", index, " is damaged: ", theirs.Element.Damage),
          {PathToUtf8(other.path_), index, {}});
    details.push_back(Str("Took sound ", SoundLabel(index, theirs.Element.Entry), " from ", otherName));
    exchanges.push_back({index, m_Entries[index], TakenSound(theirs)});
  }
  const std::size_t taken = exchanges.size();
  const std::string summary = Str("Took ", taken, taken == 1 ? " sound" : " sounds", " from ", otherName);
  if (taken == 0) return EditOutcome{{RowChange::Kind::Changed, {}}, summary};
  const std::string name =
      taken == 1 ? Str("Take sound ", exchanges[0].Index) : Str("Take ", taken, " sounds");
  auto outcome = Apply(std::make_unique<SoundsChanged>(name, std::move(exchanges)), summary);
  if (outcome) outcome->Details = std::move(details);
  return outcome;
}

std::optional<RowChange> CSoundEditor::Step(bool back) {
  layout_.Leaving(history_.State(), m_Entries);
  auto rows = back ? history_.Undo(m_Entries) : history_.Redo(m_Entries);
  if (!rows) return rows;
  FollowSounds();
  layout_.Reached(history_.State(), m_Entries);
  return rows;
}

std::optional<RowChange> CSoundEditor::Undo() { return Step(/*back=*/true); }

std::optional<RowChange> CSoundEditor::Redo() { return Step(/*back=*/false); }

}  // namespace Orvane
