#pragma once
// The main window: a menu bar above the list of the loaded bank's sounds, and a status line
// below it with what the last command did and, at its right end, the bank's file name. It builds
// and lays out the widgets and forwards every command to its session (BankSession), then shows
// what the command did; the engine is the one app/ hands it.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include <QMainWindow>
#include <QPointer>
#include <QTemporaryDir>

#include "BankSession.h"

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QModelIndex;
class QMenu;
class QMenuBar;
class QMouseEvent;
class QSplitter;
class QStatusBar;
class QTableView;

namespace Orvane {

class AboutForm;
class Desktop;
class LevelsMeter;
class MessagesPanel;
class SoundFilterModel;
class SoundListModel;
class WaveformView;

class MainForm final : public QMainWindow {
  Q_OBJECT

 public:
  // `services`: what the session behind the window uses besides the editor (SessionServices).
  MainForm(CSoundEditor& editor, SessionServices services, Desktop& desktop);
  ~MainForm() override;

  // Opens the bank at `path` as File > Open does once a file is chosen, after asking about
  // unsaved edits: for a bank named on the command line or dropped on the window.
  void OpenBankFile(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void InitializeComponent();
  void AddEditMenu();
  void AddContextMenu();
  void FillList();
  // The sound the list's focused row shows, through the filter and the sort.
  std::optional<std::uint32_t> FocusedIndex() const;
  // The sounds the selected rows show, ascending; the focused one when none is selected.
  std::vector<std::uint32_t> SelectedSounds() const;
  // The sound a row of the list shows, through the filter.
  std::optional<std::uint32_t> SoundAt(const QModelIndex& row) const;
  // Focuses the row of sound `index`, when the filter shows it.
  void FocusSound(std::uint32_t index);
  // Shows what a command did: the list follows it, the status line says it.
  void Show(const CommandOutcome& outcome);
  void ShowStatus(const QString& text);
  // The file name and its unsaved-edits mark, Undo's and Redo's texts, and which commands
  // have a bank to act on.
  void ShowBankState();
  // The focused sound's waveform, as the engine holds it now.
  void ShowFocusedSound();
  // The line at the play position, on the focused sound's waveform while that sound plays.
  void ShowPlayPosition();

  // Loads `path` and lists it: the load that Open, a drop and the command line share.
  void LoadBankFile(const QString& path);
  // True when the bank may be put aside: it holds no unsaved edits, or the user saved or
  // discarded them.
  bool MaySetBankAside();
  bool SaveBankTo(const std::filesystem::path& target, bool force);
  std::optional<QString> ChooseAudioFile(const QString& title);
  void ReplaceByDialog(ReplaceFormat format);
  void ReplaceSound(std::uint32_t index, const QString& file, ReplaceFormat format);
  // How a replace goes now: in `format`, matching loudness when the Edit menu says so.
  ReplaceOptions Replacing(ReplaceFormat format) const;
  // Previews what the files found would replace and, once confirmed, replaces them as one edit.
  void ReplaceFromFiles(const Result<std::vector<Replacement>>& found, const QString& title);
  // Writes the sounds for a drag out of the list; the files' addresses, or nothing.
  QList<QUrl> DragFiles(const std::vector<std::uint32_t>& sounds);
  void ShowSortIndicator();

  void MainForm_Load();
  void openToolStripMenuItem_Click();
  void saveToolStripMenuItem_Click();
  void saveAsToolStripMenuItem_Click();
  void exportAllToolStripMenuItem_Click();
  void createToolStripMenuItem_Click();
  void aboutToolStripMenuItem_Click();
  void undoToolStripMenuItem_Click();
  void redoToolStripMenuItem_Click();
  void replaceToolStripMenuItem_Click();
  void replaceKeepingFormatToolStripMenuItem_Click();
  void replaceFromFolderToolStripMenuItem_Click();
  void insertToolStripMenuItem_Click();
  void removeToolStripMenuItem_Click();
  void propertiesToolStripMenuItem_Click();
  void stopToolStripMenuItem_Click();
  void ctrlFilter_TextChanged(const QString& text);
  void ctrlChangedOnly_Toggled(bool changedOnly);
  void compareToolStripMenuItem_Click();
  void stopComparingToolStripMenuItem_Click();
  void takeToolStripMenuItem_Click();
  void ctrlSoundsContextListenCompared_Click();
  void ctrlSoundsList_HeaderClick(int column);
  void ctrlSoundsList_MouseClick(QMouseEvent* event);
  void ctrlSoundsList_DoubleClick();
  void ctrlSoundsList_KeyPress();
  void ctrlSoundsContextListen_Click();
  void ctrlSoundsContextExport_Click();
  void copyNameToolStripMenuItem1_Click();

  Desktop& desktop_;
  BankSession session_;
  const CSoundEditor& editor_;  // what the list and the waveform show
  bool loaded_ = false;
  QPointer<AboutForm> aboutWindow_;  // while one is open
  std::optional<QTemporaryDir> dragFolder_;  // files dragged out of the list, until the program ends

  QTableView* ctrlSoundsList = nullptr;
  SoundListModel* ctrlSoundsModel = nullptr;
  LevelsMeter* levels_ = nullptr;
  SoundFilterModel* ctrlSoundsFilter = nullptr;
  QLineEdit* ctrlFilter = nullptr;
  QCheckBox* ctrlChangedOnly = nullptr;
  QSplitter* ctrlSplitter = nullptr;
  WaveformView* ctrlWaveform = nullptr;
  class QTimer* playClock_ = nullptr;  // runs while a sound plays
  QMenuBar* menuStrip1 = nullptr;
  QMenu* fileToolStripMenuItem = nullptr;
  QAction* openToolStripMenuItem = nullptr;
  QAction* saveToolStripMenuItem = nullptr;
  QAction* saveAsToolStripMenuItem = nullptr;
  QAction* exportAllToolStripMenuItem = nullptr;
  QAction* createToolStripMenuItem = nullptr;
  QAction* compareToolStripMenuItem = nullptr;
  QAction* stopComparingToolStripMenuItem = nullptr;
  QAction* takeToolStripMenuItem = nullptr;
  QMenu* editToolStripMenuItem = nullptr;
  QAction* undoToolStripMenuItem = nullptr;
  QAction* redoToolStripMenuItem = nullptr;
  QAction* replaceToolStripMenuItem = nullptr;
  QAction* replaceKeepingFormatToolStripMenuItem = nullptr;
  QAction* replaceFromFolderToolStripMenuItem = nullptr;
  QAction* matchLoudnessToolStripMenuItem = nullptr;  // checkable: replacing matches loudness
  QAction* insertToolStripMenuItem = nullptr;
  QAction* removeToolStripMenuItem = nullptr;
  QAction* propertiesToolStripMenuItem = nullptr;
  QAction* stopToolStripMenuItem = nullptr;
  QMenu* viewToolStripMenuItem = nullptr;
  QAction* messagesToolStripMenuItem = nullptr;
  QAction* aboutToolStripMenuItem = nullptr;
  QMenu* ctrlSoundsContext = nullptr;
  QAction* ctrlSoundsContextListen = nullptr;
  QAction* ctrlSoundsContextExport = nullptr;
  QAction* copyNameToolStripMenuItem1 = nullptr;
  QAction* ctrlSoundsContextStop = nullptr;
  QAction* ctrlSoundsContextReplace = nullptr;
  QAction* ctrlSoundsContextProperties = nullptr;
  QAction* ctrlSoundsContextRemove = nullptr;
  QAction* ctrlSoundsContextListenCompared = nullptr;
  QAction* ctrlSoundsContextTake = nullptr;
  QStatusBar* ctrlStatusBar = nullptr;
  QLabel* ctrlStatusText = nullptr;
  QLabel* ctrlBankName = nullptr;
  MessagesPanel* ctrlMessages = nullptr;
};

}  // namespace Orvane
