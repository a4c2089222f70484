#pragma once
// Everything the main window does that is not a widget: it holds the engine it was handed, the
// places its file dialogs start from, and turns each command into an outcome for the window to
// show (the status line, how the list follows, a sound to focus). Failures, conversion notes
// and warnings go to the console and to the window's messages. Tested without a window.
#include <chrono>
#include <cstdint>
#include <functional>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BankChange.h"
#include "BankComparison.h"
#include "FolderReplace.h"
#include "Reporter.h"
#include "SoundEditor.h"
#include "Status.h"

namespace Orvane {

// What a command did.
struct CommandOutcome {
  Status Result = Status::Ok();
  // For the status line: what was done, or why not; empty clears it, nothing leaves it.
  std::optional<std::string> Line = {};

  enum class List {
    Same,     // every row shows what it showed
    Rows,     // Rows changed, were inserted or removed
    Refill,   // another bank (or none): every row anew
    Offsets,  // a save laid the bank out anew: every Offset cell may differ
    Changes,  // a comparison began or ended: every Change cell may differ
  };
  List ListChange = List::Same;
  RowChange Rows = {};
  std::optional<std::uint32_t> Focus = {};  // the row to focus afterwards, by sound index
  int Warnings = 0;  // warnings (failures among them) the command left in the messages
};

// A line for the window's messages: what the console shows, with when and for which sound.
struct Message {
  std::chrono::system_clock::time_point Time;
  std::optional<std::uint32_t> Sound;
  ReportKind Kind = ReportKind::Note;
  std::string Text;  // one line, without its newline
};
using MessageSink = std::function<void(const Message& message)>;

// What a session is handed besides its editor.
struct SessionServices {
  // The folder Export writes into and Create reads from: "output" in the working directory.
  std::filesystem::path OutputFolder;
  // Plays the compared bank's sounds, beside the edited bank's own; none plays nothing.
  SoundOutput* ComparedOutput = nullptr;
  // Takes failures, conversion notes and warnings, and bank creation's progress.
  Reporter Console;
};

// What files dropped on the window ask for.
struct DropRequest {
  enum class Kind {
    Nothing,       // nothing to do: no bank to replace sounds of
    OpenBank,      // open File, after asking about unsaved edits
    ReplaceSound,  // replace Sound from File
    ReplaceMany,   // preview Found under Title, then replace
    Explain,       // a drop that asks for nothing: say Line
  };
  Kind What = Kind::Nothing;
  std::filesystem::path File = {};
  std::uint32_t Sound = 0;
  Result<std::vector<Replacement>> Found = std::vector<Replacement>{};
  std::string Title = {};
  std::string Line = {};
};

// What the window shows of the bank besides its rows.
struct BankState {
  bool Loaded = false;
  bool Modified = false;
  std::filesystem::path Path;
  std::optional<std::string> UndoName, RedoName;
};

class BankSession {
 public:
  // `messages` takes the failures, notes and warnings the console gets.
  BankSession(CSoundEditor& editor, SessionServices services, MessageSink messages);

  const CSoundEditor& Editor() const { return editor_; }
  BankState State() const;

  // Where the dialogs start: the bank last chosen to open, the audio file last chosen to
  // replace or insert from. Nothing until one was chosen.
  const std::optional<std::filesystem::path>& OpenStart() const { return openStart_; }
  const std::optional<std::filesystem::path>& AudioStart() const { return audioStart_; }
  void AudioFileChosen(const std::filesystem::path& file) { audioStart_ = file; }
  // The folder last chosen to replace sounds from; the output folder before one was.
  std::filesystem::path FolderStart() const;

  CommandOutcome Open(const std::filesystem::path& bank);
  // True when edits would be lost if the bank were put aside now.
  bool HasUnsavedEdits() const { return editor_.Loaded() && editor_.IsModified(); }
  // Saves over the file the bank came from; `force` overwrites what another program changed.
  CommandOutcome Save(const std::filesystem::path& target, bool force);
  // Writes the sounds into the output folder, as Export All writes them.
  CommandOutcome Export(const std::vector<std::uint32_t>& indexes);
  CommandOutcome ExportAll();
  // Writes the sounds into `folder` as Export writes them, for a drag, and answers the files;
  // nothing when one could not be written (the reason goes to the messages).
  std::optional<std::vector<std::filesystem::path>> ExportForDrag(
      const std::vector<std::uint32_t>& indexes, const std::filesystem::path& folder);
  CommandOutcome Create(const std::filesystem::path& target);

  CommandOutcome Listen(std::uint32_t index);
  CommandOutcome Stop();
  // What Copy Name puts on the clipboard: the file names Export writes, without ".wav", one a
  // line.
  std::string NamesToCopy(const std::vector<std::uint32_t>& indexes) const;

  CommandOutcome Replace(std::uint32_t index, const std::filesystem::path& file,
                         const ReplaceOptions& options);
  CommandOutcome Insert(std::uint32_t at, const std::filesystem::path& file);
  CommandOutcome Remove(std::vector<std::uint32_t> indexes);
  // The numbered audio files of a folder, or among dropped files, that replace sounds; the
  // folder is remembered for the next dialog.
  Result<std::vector<Replacement>> FindReplacements(const std::filesystem::path& folder);
  Result<std::vector<Replacement>> MatchReplacements(
      const std::vector<std::filesystem::path>& files) const;
  // What `files` dropped on the window ask for, dropped on the row of sound `row` or beside
  // the rows: a bank opens; several files, or a folder of them, replace the sounds their
  // numbers name; one audio file replaces the sound it was dropped on.
  DropRequest Dropped(const std::vector<std::filesystem::path>& files,
                      std::optional<std::uint32_t> row);
  std::vector<ReplacementPreview> Preview(const std::vector<Replacement>& replacements,
                                          const ReplaceOptions& options) const;
  // Replaces them all as one edit.
  CommandOutcome ReplaceMany(const std::vector<Replacement>& replacements,
                             const ReplaceOptions& options);
  // Sound `index`'s peak and loudness, measured now when not known yet; nothing for a sound
  // that has none.
  std::optional<Audio::Levels> LevelsOf(std::uint32_t index) const;
  CommandOutcome SetFields(std::uint32_t index, const FieldEdit& fields);
  CommandOutcome Undo();
  CommandOutcome Redo();

  // Comparing the bank with another, read-only: what the edited bank changed against it. It
  // follows every edit, undo and redo; opening another bank ends it.
  CommandOutcome CompareWith(const std::filesystem::path& other);
  CommandOutcome StopComparing();
  bool Comparing() const { return comparison_.has_value(); }
  // How sound `index` differs from the compared bank's; nothing while not comparing or where
  // they are the same.
  std::optional<SoundDiff> ChangeOf(std::uint32_t index) const;
  // Takes the sounds whole from the compared bank, as one edit.
  CommandOutcome TakeFromCompared(const std::vector<std::uint32_t>& indexes);
  // Plays the compared bank's sound `index`.
  CommandOutcome ListenToCompared(std::uint32_t index);

 private:
  // A line for the console and the messages.
  void Log(const Report& report) const;
  // Several sounds into the output folder, counted: "Exported 3 sounds to ...".
  CommandOutcome ExportEach(const std::vector<std::uint32_t>& indexes);

 public:
  // `failure` logged, and shown as the status line.
  CommandOutcome Failed(const Status& failure) const;

 private:
  // Runs an edit with its notes on the console, and says what it did and how many warnings it
  // left there.
  template <typename Edit>
  CommandOutcome ApplyEdit(const Edit& edit);
  CommandOutcome Step(const char* done, const std::optional<std::string>& name,
                      std::optional<RowChange> rows);
  // What a comparison says of the bank now: "Compared with orig.sdt: 3 sounds differ".
  std::string ComparedLine() const;
  // Brings the comparison up to date with rows an edit, undo or redo changed.
  void FollowComparison(CommandOutcome& outcome);

  CSoundEditor& editor_;
  SessionServices services_;
  MessageSink messages_;
  std::optional<std::filesystem::path> openStart_;
  std::optional<std::filesystem::path> audioStart_;
  std::optional<std::filesystem::path> folderStart_;
  std::optional<BankComparison> comparison_;
};

}  // namespace Orvane
