#pragma once
// The bank engine: one loaded bank and the edits made to it since, and the operations on the
// edited bank. Every operation answers with a Status whose kind says what went wrong and whose
// message says where.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "BankCreator.h"
#include "BankLayout.h"
#include "EditHistory.h"
#include "FolderReplace.h"
#include "LevelsCache.h"
#include "LoadedBank.h"
#include "PeaksCache.h"
#include "Reporter.h"
#include "SoundEdits.h"
#include "SoundSlot.h"
#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

struct SaveOptions {
  // Saves over the loaded file even when another program changed it since it was loaded.
  bool Force = false;
};

// What an export did, as every front end says it: "Exported sound 3 to output/3_bell.wav" for
// one sound written to `folder`; for several, "Exported 12 sounds to output", the one failure,
// or how many failed and the last failure (each failure is the caller's to show).
std::string ExportSummary(std::uint32_t index, const TbSoundEntry& entry,
                          const std::filesystem::path& folder);
std::string ExportSummary(std::span<const Status> results, const std::filesystem::path& folder);

class CSoundEditor {
 public:
  CSoundEditor();
  ~CSoundEditor();

  // Loads the bank at `file`. A file that cannot be read or is not a bank leaves the bank
  // loaded before as it was, edits and all; a bank whose count is 0 leaves the editor empty.
  // Loading drops the history of the bank before.
  Status LoadBank(const std::filesystem::path& file);
  void Clear();

  // The edited bank: what the list shows, export writes and playback plays.
  std::uint32_t Count() const { return m_Count; }
  bool Loaded() const { return m_Count > 0; }
  // Sound `index` < Count(): its header as it stands now, the offset it has in the loaded file
  // or will have once saved, and why it is damaged.
  const BankEntry& Entry(std::uint32_t index) const;
  // The file the bank was loaded from or last saved to; empty when none is loaded.
  const std::filesystem::path& BankPath() const { return path_; }
  // The loaded file as it was read.
  std::span<const std::uint8_t> FileBytes() const;
  std::uint32_t FileSize() const { return m_FileSize; }

  // Writes sound `index` as "<index>_<name>.wav" into the working directory's output folder,
  // or into `folder`, creating the folder when it is missing.
  Status Export(std::uint32_t index);
  Status ExportTo(std::uint32_t index, const std::filesystem::path& folder);
  // Exports several sounds into `folder` with one sync of the disk for all of them; one answer
  // per index, and each file written whole or not at all.
  std::vector<Status> ExportEach(std::span<const std::uint32_t> indexes,
                                 const std::filesystem::path& folder);

  // Starts playing sound `index` and returns at once.
  Status Play(std::uint32_t index);
  // Silences the sound that plays; true when one was playing.
  bool Stop();
  bool IsPlaying() const;
  // How far sound `index` has played, in seconds from its start; nothing unless its samples
  // are the ones playing (a sound replaced since it started is another sound).
  std::optional<double> PlayedSeconds(std::uint32_t index) const;
  // The WAVE header and sample data of sound `index` as one image: what Export writes.
  Result<std::vector<std::uint8_t>> BuildPlayImage(std::uint32_t index) const;

  // The bytes from byte 40 of sound `index`'s header to its samples (see ExtraHeaderBytes).
  std::span<const std::uint8_t> ExtraHeader(std::uint32_t index) const;
  // The sample bytes of sound `index`; fails for an index past the end or a damaged entry.
  Result<std::span<const std::uint8_t>> SampleData(std::uint32_t index) const;
  // Sound `index`'s samples and format, kept alive by the answer (see SoundSamples): what a
  // measurement or a view of them needs; a damaged sound's reason.
  Result<SoundSamples> SamplesOf(std::uint32_t index) const;
  // Sound `index`'s levels, when they were measured for the samples it holds now.
  std::optional<Audio::Levels> KnownLevels(std::uint32_t index) const;
  // Measures `sound` and keeps the levels for KnownLevels; safe on any thread.
  Result<Audio::Levels> Measure(const SoundSamples& sound) const;
  // The waveform peaks of sound `index`, computed once and kept for the sounds drawn lately;
  // a damaged sound's reason, as SampleData gives it.
  Result<std::shared_ptr<const SoundPeaks>> Peaks(std::uint32_t index) const;

  // Edits. Each one either changes the bank and lands in the history, or fails and changes
  // nothing. Those that bring samples in hand their conversion notes and warnings to `report`.
  Result<EditOutcome> Replace(std::uint32_t index, const std::filesystem::path& file,
                              const ReplaceOptions& options = {},
                              const Reporter& report = ReportToConsole);
  // Replaces the sound of each replacement (distinct indexes) from its file, as one edit; the
  // files are read and converted on every core. A file that already holds what its sound holds
  // leaves that sound as it is. Any file that fails fails the whole edit, naming the file.
  Result<EditOutcome> ReplaceMany(std::span<const Replacement> replacements,
                                  const ReplaceOptions& options,
                                  const Reporter& report = ReportToConsole);
  // What each replacement would do, from the files' headers: without decoding, on every core.
  std::vector<ReplacementPreview> PreviewReplacements(std::span<const Replacement> replacements,
                                                      const ReplaceOptions& options) const;
  // Takes each of `indexes` (distinct) from `other` as that bank holds it, every header byte and
  // the samples, as one edit. An index past either bank's sounds, or a damaged sound in
  // `other`, is refused. `otherName` names the other bank in what the edit says.
  Result<EditOutcome> TakeFrom(const CSoundEditor& other, std::vector<std::uint32_t> indexes,
                               const std::string& otherName);
  Result<EditOutcome> SetFields(std::uint32_t index, const FieldEdit& fields);
  Result<EditOutcome> Insert(std::uint32_t index, const std::filesystem::path& file,
                             const InsertOptions& options = {},
                             const Reporter& report = ReportToConsole);
  Result<EditOutcome> Remove(std::vector<std::uint32_t> indexes);

  // Undo and Redo answer the rows they changed, or nothing when there was nothing to do.
  std::optional<RowChange> Undo();
  std::optional<RowChange> Redo();
  // "Replace sound 3": what Undo or Redo would do; empty when there is nothing to do.
  std::optional<std::string> UndoName() const { return history_.UndoName(); }
  std::optional<std::string> RedoName() const { return history_.RedoName(); }
  // The bank differs from the file it was loaded from or last saved to.
  bool IsModified() const { return history_.IsModified(); }

  // Writes the edited bank to `target` atomically, every byte that no edit touched as it was.
  // Afterwards the loaded bank is the saved file and the bank is no longer modified.
  Status Save(const std::filesystem::path& target, const SaveOptions& options = {});

  // Builds a bank at `file` from the numbered WAVE files of the output folder, or of `folder`,
  // handing its progress lines and warnings to `report`. The loaded bank is neither read nor
  // changed.
  Status CreateBank(const std::filesystem::path& file, const Reporter& report = ReportToConsole);
  Status CreateBankFrom(const std::filesystem::path& folder, const std::filesystem::path& file,
                        const CreateOptions& options = {},
                        const Reporter& report = ReportToConsole);

 private:
  Result<AtomicFile> WriteExport(std::uint32_t index, const std::filesystem::path& folder) const;
  // Applies `change`, and keeps it when the bank it makes can be saved; undoes it otherwise.
  Result<EditOutcome> Commit(std::unique_ptr<BankChange> change, std::string summary);
  // The layout saving would write now; shown as the sounds' offsets.
  Result<BankPlan> Plan() const;
  // After a change of the sounds: the count follows them, and their offsets are to be laid
  // out again when next asked for.
  void FollowSounds();
  void RefreshOffsets() const;
  // Shows the offsets `plan` gives every sound; a damaged one keeps its table's.
  void ShowPlan(const BankPlan& plan) const;
  // The offsets shown in one state of the history. Undo and Redo go back to a state shown just
  // before, whose layout is kept so that a large bank is not laid out again for it.
  struct ShownLayout {
    std::uint64_t State = 0;
    std::vector<std::uint32_t> Offsets;
    std::uint64_t Size = 0;
  };
  std::optional<ShownLayout> CurrentLayout() const;
  std::optional<RowChange> Step(bool back);
  Status CheckIndex(std::uint32_t index) const;
  Result<SoundSlot> SoundAt(std::uint32_t index) const;
  // The format a file for sound `index` is brought to; the file's own format for FilesOwn.
  Result<FormatRequest> RequestFor(std::uint32_t index, ReplaceFormat format) const;
  // The loudness sound `index` has, for a replacement to match: -inf for a silent sound; fails
  // for a damaged one or one whose format cannot be measured. Measured when not known yet; safe
  // on any thread.
  Result<double> LoudnessOf(std::uint32_t index) const;
  // Sound `index` as it would be once replaced from `file`, brought in under `limit` bytes; runs
  // on any thread, changing nothing.
  Result<SoundsChanged::Exchange> PrepareReplacement(std::uint32_t index,
                                                     const std::filesystem::path& file,
                                                     const ReplaceOptions& options,
                                                     std::uint64_t limit,
                                                     const Reporter& report) const;
  std::uint64_t RoomFor(std::uint64_t replacedBytes) const;
  Status CheckSaveTarget(const std::filesystem::path& target, const SaveOptions& options) const;

  std::uint32_t m_Count = 0;                        // m_Entries.size(): set in SoundsChanged
  mutable std::vector<SoundSlot> m_Entries;         // the edited bank, one slot per sound
  std::shared_ptr<const LoadedBank> m_pFileBuffer;  // the loaded file: the original store
  std::uint32_t m_FileSize = 0;
  std::filesystem::path path_;
  FileStamp stamp_;  // of path_ when it was loaded or saved
  EditHistory history_;
  mutable bool offsetsStale_ = false;
  mutable std::uint64_t plannedSize_ = 0;
  std::optional<ShownLayout> lastLayout_;
  mutable PeaksCache peaks_;  // of the sounds drawn lately
  mutable LevelsCache levels_;  // of the sounds measured so far
  SampleMark played_;  // the samples the last play started
};

}  // namespace Orvane
