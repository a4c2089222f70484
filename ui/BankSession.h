#pragma once
// Everything the main window does that is not a widget: it holds the engine it was handed, the
// places its file dialogs start from, and turns each command into an outcome for the window to
// show (the status line, how the list follows, a sound to focus). Failures and the engine's
// notes go to the console as well. Tested without a window.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "BankChange.h"
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
  };
  List ListChange = List::Same;
  RowChange Rows = {};
  std::optional<std::uint32_t> Focus = {};  // the row to focus afterwards, by sound index
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
  // `console` takes failures, conversion notes and warnings, and bank creation's progress.
  BankSession(CSoundEditor& editor, Reporter console);

  const CSoundEditor& Editor() const { return editor_; }
  BankState State() const;

  // Where the dialogs start: the bank last chosen to open, the audio file last chosen to
  // replace or insert from. Nothing until one was chosen.
  const std::optional<std::filesystem::path>& OpenStart() const { return openStart_; }
  const std::optional<std::filesystem::path>& AudioStart() const { return audioStart_; }
  void AudioFileChosen(const std::filesystem::path& file) { audioStart_ = file; }

  CommandOutcome Open(const std::filesystem::path& bank);
  // True when edits would be lost if the bank were put aside now.
  bool HasUnsavedEdits() const { return editor_.Loaded() && editor_.IsModified(); }
  // Saves over the file the bank came from; `force` overwrites what another program changed.
  CommandOutcome Save(const std::filesystem::path& target, bool force);
  CommandOutcome ExportSound(std::uint32_t index);
  CommandOutcome ExportAll();
  CommandOutcome Create(const std::filesystem::path& target);

  CommandOutcome Listen(std::uint32_t index);
  CommandOutcome Stop();
  // What Copy Name puts on the clipboard: the file name Export writes, without ".wav".
  std::string NameToCopy(std::uint32_t index) const;

  CommandOutcome Replace(std::uint32_t index, const std::filesystem::path& file,
                         ReplaceFormat format);
  CommandOutcome Insert(std::uint32_t at, const std::filesystem::path& file);
  CommandOutcome Remove(std::vector<std::uint32_t> indexes);
  CommandOutcome SetFields(std::uint32_t index, const FieldEdit& fields);
  CommandOutcome Undo();
  CommandOutcome Redo();

 private:
  // `failure` printed on the console and shown as the status line.
  CommandOutcome Failed(const Status& failure) const;
  // Runs an edit with its notes on the console, and says what it did and how many warnings it
  // left there.
  template <typename Edit>
  CommandOutcome ApplyEdit(const Edit& edit);
  CommandOutcome Step(const char* done, const std::optional<std::string>& name,
                      std::optional<RowChange> rows);

  CSoundEditor& editor_;
  Reporter console_;
  std::optional<std::filesystem::path> openStart_;
  std::optional<std::filesystem::path> audioStart_;
};

}  // namespace Orvane
