// The main window's Edit menu and its twins in the context menu, and files dropped on the
// window: every edit goes to the engine, and the list follows the rows it changed.
#include <QAction>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QTableView>
#include <QTimer>

#include "Desktop.h"
#include "FileFilters.h"
#include "Globals.h"
#include "MainForm.h"
#include "PathText.h"
#include "SoundListModel.h"
#include "SoundPropertiesDialog.h"
#include "Text.h"

namespace Orvane {
namespace {

// The one local file a drag carries; nothing for several files or anything else.
std::optional<QString> DraggedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  return urls.front().toLocalFile();
}

bool IsBankFile(const QString& path) {
  return path.endsWith(QStringLiteral(".sdt"), Qt::CaseInsensitive);
}

}  // namespace

void MainForm::ShowBankState() {
  const bool loaded = g_SoundEditor.Loaded();
  for (QAction* command :
       {saveToolStripMenuItem, saveAsToolStripMenuItem, exportAllToolStripMenuItem,
        replaceToolStripMenuItem, replaceKeepingFormatToolStripMenuItem, insertToolStripMenuItem,
        removeToolStripMenuItem, propertiesToolStripMenuItem, ctrlSoundsContextListen,
        ctrlSoundsContextExport, copyNameToolStripMenuItem1, ctrlSoundsContextReplace,
        ctrlSoundsContextProperties, ctrlSoundsContextRemove})
    command->setEnabled(loaded);
  const auto showStep = [](QAction* item, const char* verb,
                           const std::optional<std::string>& name) {
    item->setText(name ? QString::fromStdString(Str(verb, " ", *name))
                       : QString::fromLatin1(verb));
    item->setEnabled(name.has_value());
  };
  showStep(undoToolStripMenuItem, "Undo", g_SoundEditor.UndoName());
  showStep(redoToolStripMenuItem, "Redo", g_SoundEditor.RedoName());

  const std::filesystem::path& bank = g_SoundEditor.BankPath();
  const QString name = loaded ? ToText(bank.filename()) : QString();
  ctrlBankName->setText(loaded && g_SoundEditor.IsModified() ? name + QStringLiteral(" *") : name);
  ctrlBankName->setToolTip(loaded ? ToText(bank) : QString());
}

Status MainForm::ApplyEdit(const std::function<Result<EditOutcome>()>& edit) {
  int warnings = 0;
  g_SoundEditor.SetReporter([&warnings](ReportKind kind, const std::string& line) {
    ReportToConsole(kind, line);
    if (kind == ReportKind::Warning) ++warnings;
  });
  // A conversion can take a moment; the window waits for it.
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  auto outcome = edit();
  QGuiApplication::restoreOverrideCursor();
  g_SoundEditor.SetReporter(ReportToConsole);
  if (!outcome) return outcome.status();
  ctrlSoundsModel->Follow(outcome->Rows);
  std::string line = outcome->Summary;
  if (warnings > 0)
    line += Str("; ", warnings, warnings == 1 ? " warning" : " warnings", " on the console");
  ShowStatus(QString::fromStdString(line));
  ShowBankState();
  ShowFocusedSound();
  return Status::Ok();
}

void MainForm::ShowEdit(const std::function<Result<EditOutcome>()>& edit) {
  if (Status applied = ApplyEdit(edit); !applied) ShowOutcome(applied);
}

void MainForm::ShowRowChange(const std::optional<RowChange>& rows, const char* done,
                             const std::optional<std::string>& name) {
  if (!rows || !name) return;
  ctrlSoundsModel->Follow(*rows);
  ShowStatus(QString::fromStdString(Str(done, ": ", *name)));
  ShowBankState();
  ShowFocusedSound();
}

void MainForm::undoToolStripMenuItem_Click() {
  const auto name = g_SoundEditor.UndoName();
  ShowRowChange(g_SoundEditor.Undo(), "Undone", name);
}

void MainForm::redoToolStripMenuItem_Click() {
  const auto name = g_SoundEditor.RedoName();
  ShowRowChange(g_SoundEditor.Redo(), "Redone", name);
}

std::optional<QString> MainForm::ChooseAudioFile(const QString& title) {
  auto chosen =
      desktop_.ChooseFileToOpen(this, {title, AudioFilter(), StartLocation(lastAudioFile_)});
  if (chosen) lastAudioFile_ = *chosen;
  return chosen;
}

void MainForm::ReplaceSound(std::uint32_t index, const QString& file, ReplaceFormat format) {
  ShowEdit([&] { return g_SoundEditor.Replace(index, ToPath(file), format); });
}

void MainForm::ReplaceByDialog(ReplaceFormat format) {
  const auto index = FocusedIndex();
  if (!index) return;
  const char* title = format == ReplaceFormat::SoundsOwn
                          ? "Replace Sound %1"
                          : "Replace Sound %1, Keeping the File's Format";
  if (const auto file = ChooseAudioFile(QString::fromLatin1(title).arg(*index)))
    ReplaceSound(*index, *file, format);
}

void MainForm::replaceToolStripMenuItem_Click() { ReplaceByDialog(ReplaceFormat::SoundsOwn); }

void MainForm::replaceKeepingFormatToolStripMenuItem_Click() {
  ReplaceByDialog(ReplaceFormat::FilesOwn);
}

void MainForm::insertToolStripMenuItem_Click() {
  if (!g_SoundEditor.Loaded()) return;
  // Before the focused sound, or after the last one when no row has the focus.
  const std::uint32_t at = FocusedIndex().value_or(g_SoundEditor.Count());
  const auto file = ChooseAudioFile(QStringLiteral("Insert Sound %1").arg(at));
  if (!file) return;
  if (Status inserted = ApplyEdit([&] { return g_SoundEditor.Insert(at, ToPath(*file)); });
      !inserted)
    return ShowOutcome(inserted);
  FocusSound(at);
}

void MainForm::removeToolStripMenuItem_Click() {
  if (const auto index = FocusedIndex()) ShowEdit([&] { return g_SoundEditor.Remove({*index}); });
}

void MainForm::propertiesToolStripMenuItem_Click() {
  const auto index = FocusedIndex();
  if (!index) return;
  SoundPropertiesDialog dialog(
      *index, g_SoundEditor.Entry(*index),
      [this, index](const FieldEdit& fields) {
        return ApplyEdit([&] { return g_SoundEditor.SetFields(*index, fields); });
      },
      this);
  desktop_.RunDialog(dialog);
}

void MainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (DraggedFile(event->mimeData())) event->acceptProposedAction();
}

void MainForm::dragMoveEvent(QDragMoveEvent* event) {
  if (DraggedFile(event->mimeData())) event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event) {
  const auto file = DraggedFile(event->mimeData());
  if (!file) return;
  event->acceptProposedAction();
  std::optional<std::uint32_t> row;
  const QPoint at = ctrlSoundsList->viewport()->mapFrom(this, event->position().toPoint());
  if (ctrlSoundsList->viewport()->rect().contains(at)) {
    row = SoundAt(ctrlSoundsList->indexAt(at));
  }
  // After the drop has ended: the question about unsaved edits and a conversion both wait for
  // the user or the disk, which the program that started the drag should not.
  QTimer::singleShot(0, this, [this, path = *file, row] {
    if (IsBankFile(path)) return OpenBankFile(path);
    if (!row)
      return ShowStatus(QStringLiteral(
          "Drop an audio file on the row of the sound it replaces, or a bank (.sdt) to open it"));
    FocusSound(*row);
    ReplaceSound(*row, path, ReplaceFormat::SoundsOwn);
  });
}

}  // namespace Orvane
