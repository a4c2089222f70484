// Saving the edited bank, and the question that keeps unsaved edits from being lost when the
// window closes or another bank takes the place of this one.
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>

#include "Desktop.h"
#include "FileFilters.h"
#include "Globals.h"
#include "MainForm.h"
#include "PathText.h"
#include "SoundListModel.h"

namespace Orvane {

bool MainForm::SaveBankTo(const std::filesystem::path& target, const SaveOptions& options) {
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  Status saved = g_SoundEditor.Save(target, options);
  QGuiApplication::restoreOverrideCursor();
  if (!saved) {
    if (saved.kind() == ErrorKind::ChangedOnDisk)
      saved = Status::Error(saved.kind(), saved.message() + " (File > Save As... over it does)");
    ShowOutcome(saved);
    return false;
  }
  // A save lays the bank out anew: later sounds' offsets may have moved.
  ctrlSoundsModel->OffsetsChanged();
  ShowStatus(QStringLiteral("Saved ") + ToText(target));
  ShowBankState();
  return true;
}

void MainForm::saveToolStripMenuItem_Click() {
  if (g_SoundEditor.Loaded()) SaveBankTo(g_SoundEditor.BankPath(), {});
}

void MainForm::saveAsToolStripMenuItem_Click() {
  if (!g_SoundEditor.Loaded()) return;
  const auto chosen = desktop_.ChooseFileToSave(
      this, {QStringLiteral("Save SDT Bank As"), BankFilter(),
             ToText(g_SoundEditor.BankPath())});
  if (!chosen || chosen->isEmpty()) return;
  // The dialog has asked before replacing a file: the user chose to overwrite what is there,
  // even when another program changed it.
  SaveBankTo(ToPath(*chosen), {.Force = true});
}

bool MainForm::MaySetBankAside() {
  if (!g_SoundEditor.Loaded() || !g_SoundEditor.IsModified()) return true;
  switch (desktop_.AskAboutUnsavedEdits(this, ToText(g_SoundEditor.BankPath().filename()))) {
    case UnsavedEdits::Save:
      return SaveBankTo(g_SoundEditor.BankPath(), {});
    case UnsavedEdits::Discard:
      return true;
    case UnsavedEdits::Cancel:
      break;
  }
  return false;
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (MaySetBankAside()) {
    event->accept();
  } else {
    event->ignore();
  }
}

}  // namespace Orvane
