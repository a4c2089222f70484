#pragma once
// The main window: a menu bar above the list of the loaded bank's sounds, and a status line
// below it with what the engine reported last. Every command goes to g_SoundEditor.
#include <cstdint>
#include <optional>

#include <QMainWindow>

#include "Status.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QMouseEvent;
class QStatusBar;
class QTableView;

namespace Orvane {

class Desktop;
class SoundListModel;

class MainForm final : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainForm(Desktop& desktop);
  MainForm();
  ~MainForm() override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void InitializeComponent();
  void FillList();
  // The position of the list's focused row when it names a sound of the loaded bank.
  std::optional<std::uint32_t> FocusedIndex() const;
  // Prints a failure on the console; the status line shows it, or is cleared on success.
  void ShowOutcome(const Status& outcome);
  void ShowStatus(const QString& text);

  void MainForm_Load();
  void openToolStripMenuItem_Click();
  void exportAllToolStripMenuItem_Click();
  void createToolStripMenuItem_Click();
  void aboutToolStripMenuItem_Click();
  void ctrlSoundsList_MouseClick(QMouseEvent* event);
  void ctrlSoundsList_DoubleClick();
  void ctrlSoundsList_KeyPress();
  void ctrlSoundsContextListen_Click();
  void ctrlSoundsContextExport_Click();
  void copyNameToolStripMenuItem1_Click();

  Desktop& desktop_;
  bool loaded_ = false;

  QTableView* ctrlSoundsList = nullptr;
  SoundListModel* ctrlSoundsModel = nullptr;
  QMenuBar* menuStrip1 = nullptr;
  QMenu* fileToolStripMenuItem = nullptr;
  QAction* openToolStripMenuItem = nullptr;
  QAction* exportAllToolStripMenuItem = nullptr;
  QAction* createToolStripMenuItem = nullptr;
  QAction* aboutToolStripMenuItem = nullptr;
  QMenu* ctrlSoundsContext = nullptr;
  QAction* ctrlSoundsContextListen = nullptr;
  QAction* ctrlSoundsContextExport = nullptr;
  QAction* copyNameToolStripMenuItem1 = nullptr;
  QStatusBar* ctrlStatusBar = nullptr;
  QLabel* ctrlStatusText = nullptr;
};

}  // namespace Orvane
