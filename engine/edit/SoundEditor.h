#pragma once
// The bank engine: one loaded bank, the edits made to it since, and the operations on it. The
// editor is the document (its sounds, their history, their layout, saving); the services that
// read it live beside it, each in a class of its own (SoundExport, SoundPlayback, SoundLevels,
// SoundWaveforms, SoundReplacement). Every operation answers with a Status whose kind says
// what went wrong and whose where says where.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "BankChange.h"
#include "BankCreator.h"
#include "BankLayout.h"
#include "EditHistory.h"
#include "File.h"
#include "LoadedBank.h"
#include "Reporter.h"
#include "ShownLayout.h"
#include "SoundEdits.h"
#include "SoundLevels.h"
#include "SoundPlayback.h"
#include "SoundSlot.h"
#include "SoundWaveforms.h"
#include "Status.h"
#include "TbSoundBank.h"

namespace Orvane {

class SoundOutput;

struct SaveOptions {
  // Saves over the loaded file even when another program changed it since it was loaded.
  bool Force = false;
};

class CSoundEditor {
 public:
  // `output` plays this editor's sounds and outlives it; an editor without one never plays.
  explicit CSoundEditor(SoundOutput* output = nullptr);
  ~CSoundEditor();
  CSoundEditor(const CSoundEditor&) = delete;
  CSoundEditor& operator=(const CSoundEditor&) = delete;

  // Loads the bank at `file`. A file that cannot be read or is not a bank leaves the bank
  // loaded before as it was, edits and all; a bank whose count is 0 leaves the editor empty.
  // Loading drops the history of the bank before.
  Status LoadBank(const std::filesystem::path& file);
  void Clear();
  // Writes sound `index` as "<index>_<name>.wav" into `folder`, creating it when it is missing.
  Status Export(std::uint32_t index, const std::filesystem::path& folder) const;
  // Starts playing sound `index` on this editor's output and returns at once.
  Status Play(std::uint32_t index);
  // Builds a bank at `file` from the numbered sound files of `folder`: bank creation, which
  // neither reads nor changes the loaded bank.
  static Status CreateBank(const std::filesystem::path& folder, const std::filesystem::path& file,
                           const CreateOptions& options, const Reporter& report);

  // The edited bank: what the list shows, export writes and playback plays.
  std::uint32_t Count() const { return m_Count; }
  bool Loaded() const { return m_Count > 0; }
  // Sound `index` < Count(): its header as it stands now, the offset it has in the loaded file
  // or will have once saved, and why it is damaged.
  const BankEntry& Entry(std::uint32_t index) const;
  // Sound `index` < Count() as the edits left it: its header, its origin, its samples.
  const SoundSlot& Sound(std::uint32_t index) const { return m_Entries[index]; }
  // NotFound, naming the bank and its count, unless sound `index` exists.
  Status CheckIndex(std::uint32_t index) const;
  // The file the bank was loaded from or last saved to; empty when none is loaded.
  const std::filesystem::path& BankPath() const { return path_; }
  // The loaded file as it was read.
  std::span<const std::uint8_t> FileBytes() const;
  std::uint32_t FileSize() const { return m_FileSize; }
  // The bytes from byte 40 of sound `index`'s header to its samples (see ExtraHeaderBytes).
  std::span<const std::uint8_t> ExtraHeader(std::uint32_t index) const;
  // The sample bytes of sound `index`; fails for an index past the end or a damaged entry.
  Result<std::span<const std::uint8_t>> SampleData(std::uint32_t index) const;
  // Sound `index`'s samples and format, kept alive by the answer (see SoundSamples): what a
  // measurement or a view of them needs; a damaged sound's reason.
  Result<SoundSamples> SamplesOf(std::uint32_t index) const;
  // The bytes a sound of `replacedBytes` samples may grow to before the bank reaches 4 GiB.
  std::uint64_t RoomFor(std::uint64_t replacedBytes) const;

  // Edits. Each one either changes the bank and lands in the history, or fails and changes
  // nothing. Apply keeps `change` when the bank it makes can be laid out, and undoes it
  // otherwise; the other edits go through it.
  Result<EditOutcome> Apply(std::unique_ptr<BankChange> change, std::string summary);
  Result<EditOutcome> SetFields(std::uint32_t index, const FieldEdit& fields);
  Result<EditOutcome> Remove(std::vector<std::uint32_t> indexes);
  // Takes each of `indexes` (distinct) from `other` as that bank holds it, every header byte and
  // the samples, as one edit. An index past either bank's sounds, or a damaged sound in
  // `other`, is refused. `otherName` names the other bank in what the edit says.
  Result<EditOutcome> TakeFrom(const CSoundEditor& other, std::vector<std::uint32_t> indexes,
                               const std::string& otherName);

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

  // The services that read the bank.
  SoundPlayback& Playback() { return playback_; }
  const SoundPlayback& Playback() const { return playback_; }
  const SoundLevels& Levels() const { return levels_; }
  const SoundWaveforms& Waveforms() const { return waveforms_; }

 private:
  // After a change of the sounds: the count follows them, and their offsets are to be laid
  // out again when next asked for.
  void FollowSounds();
  std::optional<RowChange> Step(bool back);
  Status CheckSaveTarget(const std::filesystem::path& target, const SaveOptions& options) const;

  std::uint32_t m_Count = 0;                        // m_Entries.size(): set in FollowSounds
  mutable std::vector<SoundSlot> m_Entries;         // the edited bank, one slot per sound
  std::shared_ptr<const LoadedBank> m_pFileBuffer;  // the loaded file: the original store
  std::uint32_t m_FileSize = 0;
  std::filesystem::path path_;
  FileStamp stamp_;  // of path_ when it was loaded or saved
  EditHistory history_;
  mutable ShownLayout layout_;  // the offsets the entries show
  SoundPlayback playback_;
  SoundLevels levels_;
  SoundWaveforms waveforms_;
};

}  // namespace Orvane
