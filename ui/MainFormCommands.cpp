// The main window's commands: each asks the desktop what it needs (a file, an answer), hands
// the command to the session and shows what it did.
#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>
#include <QTimer>

#include "AboutForm.h"
#include "Desktop.h"
#include "FileFilters.h"
#include "FolderReplaceDialog.h"
#include "LevelsMeter.h"
#include "MainForm.h"
#include "MessagesPanel.h"
#include "PathText.h"
#include "SoundFilterModel.h"
#include "SoundListModel.h"
#include "SoundPropertiesDialog.h"

namespace Orvane {
namespace {

// A conversion or a save can take a moment; the window waits for it.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// Where a dialog starts: beside the file last chosen for it, or in the working directory.
QString StartLocation(const std::optional<std::filesystem::path>& remembered) {
  return remembered ? ToText(*remembered) : QDir::currentPath();
}

}  // namespace

void MainForm::ctrlFilter_TextChanged(const QString& text) {
  ctrlSoundsFilter->SetText(text);
  ShowStatus(ctrlSoundsFilter->Active() ? QStringLiteral("%1 of %2 sounds")
                                              .arg(ctrlSoundsFilter->rowCount())
                                              .arg(editor_.Count())
                                        : QString());
  ShowFocusedSound();
}

void MainForm::ctrlChangedOnly_Toggled(bool changedOnly) {
  ctrlSoundsFilter->SetChangedOnly(changedOnly);
  ctrlFilter_TextChanged(ctrlFilter->text());
}

void MainForm::compareToolStripMenuItem_Click() {
  if (!editor_.Loaded()) return;
  const auto chosen = desktop_.ChooseFileToOpen(
      this, {QStringLiteral("Compare With"), BankFilter(), StartLocation(session_.OpenStart())});
  if (!chosen) return;
  WaitCursor waiting;
  Show(session_.CompareWith(ToPath(*chosen)));
}

void MainForm::stopComparingToolStripMenuItem_Click() { Show(session_.StopComparing()); }

void MainForm::takeToolStripMenuItem_Click() {
  if (const auto sounds = SelectedSounds(); !sounds.empty()) Show(session_.TakeFromCompared(sounds));
}

void MainForm::ctrlSoundsContextListenCompared_Click() {
  if (const auto index = FocusedIndex()) Show(session_.ListenToCompared(*index));
}

void MainForm::openToolStripMenuItem_Click() {
  if (!MaySetBankAside()) return;
  const auto chosen = desktop_.ChooseFileToOpen(
      this, {QStringLiteral("Open SDT Bank"), BankFilter(), StartLocation(session_.OpenStart())});
  if (chosen) LoadBankFile(*chosen);
}

void MainForm::OpenBankFile(const QString& path) {
  if (MaySetBankAside()) LoadBankFile(path);
}

void MainForm::LoadBankFile(const QString& path) { Show(session_.Open(ToPath(path))); }

bool MainForm::SaveBankTo(const std::filesystem::path& target, bool force) {
  WaitCursor waiting;
  const CommandOutcome saved = session_.Save(target, force);
  Show(saved);
  return saved.Result.ok();
}

void MainForm::saveToolStripMenuItem_Click() {
  if (editor_.Loaded()) SaveBankTo(editor_.BankPath(), false);
}

void MainForm::saveAsToolStripMenuItem_Click() {
  if (!editor_.Loaded()) return;
  const auto chosen = desktop_.ChooseFileToSave(
      this, {QStringLiteral("Save SDT Bank As"), BankFilter(), ToText(editor_.BankPath())});
  if (!chosen || chosen->isEmpty()) return;
  // The dialog has asked before replacing a file: the user chose to overwrite what is there,
  // even when another program changed it.
  SaveBankTo(ToPath(*chosen), true);
}

bool MainForm::MaySetBankAside() {
  if (!session_.HasUnsavedEdits()) return true;
  switch (desktop_.AskAboutUnsavedEdits(this, ToText(editor_.BankPath().filename()))) {
    case UnsavedEdits::Save:
      return SaveBankTo(editor_.BankPath(), false);
    case UnsavedEdits::Discard:
      return true;
    case UnsavedEdits::Cancel:
      break;
  }
  return false;
}

void MainForm::exportAllToolStripMenuItem_Click() { Show(session_.ExportAll()); }

void MainForm::createToolStripMenuItem_Click() {
  // The Create dialog always starts in the working directory, where the output folder is.
  const auto chosen = desktop_.ChooseFileToSave(
      this, {QStringLiteral("Save Sound Bank"), BankFilter(), QDir::currentPath()});
  if (!chosen || chosen->isEmpty()) return;
  Show(session_.Create(ToPath(*chosen)));
}

void MainForm::aboutToolStripMenuItem_Click() {
  if (aboutWindow_) return;
  aboutWindow_ = new AboutForm(desktop_);
  aboutWindow_->show();
}

void MainForm::ctrlSoundsList_MouseClick(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return;
  const QModelIndex focused = ctrlSoundsList->currentIndex();
  if (!focused.isValid()) return;
  // The focused row's rectangle spans every column.
  const QRect row = ctrlSoundsList->visualRect(focused.siblingAtColumn(0))
                        .united(ctrlSoundsList->visualRect(
                            focused.siblingAtColumn(SoundListModel::kColumnCount - 1)));
  if (row.contains(event->position().toPoint())) ctrlSoundsContext->popup(QCursor::pos());
}

// Shift+double-click plays the compared bank's sound, to hear the two one after the other.
void MainForm::ctrlSoundsList_DoubleClick() {
  if (session_.Comparing() && QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier))
    return ctrlSoundsContextListenCompared_Click();
  ctrlSoundsContextListen_Click();
}

void MainForm::ctrlSoundsList_KeyPress() { ctrlSoundsContextListen_Click(); }

void MainForm::ctrlSoundsContextListen_Click() {
  const auto index = FocusedIndex();
  if (!index) return;
  const CommandOutcome played = session_.Listen(*index);
  if (played.Result) {
    // Once a frame while it plays (a screen may not say its rate); the clock stops with it.
    const qreal hertz = screen()->refreshRate();
    playClock_->setInterval(qRound(1000.0 / (hertz >= 10 ? hertz : 60)));
    playClock_->start();
    ShowPlayPosition();
  }
  Show(played);
}

void MainForm::ctrlSoundsContextExport_Click() {
  if (const auto sounds = SelectedSounds(); !sounds.empty()) Show(session_.Export(sounds));
}

void MainForm::stopToolStripMenuItem_Click() {
  Show(session_.Stop());
  ShowPlayPosition();
}

void MainForm::copyNameToolStripMenuItem1_Click() {
  if (const auto sounds = SelectedSounds(); !sounds.empty())
    desktop_.SetClipboardText(QString::fromStdString(session_.NamesToCopy(sounds)));
}

void MainForm::undoToolStripMenuItem_Click() { Show(session_.Undo()); }

void MainForm::redoToolStripMenuItem_Click() { Show(session_.Redo()); }

std::optional<QString> MainForm::ChooseAudioFile(const QString& title) {
  auto chosen = desktop_.ChooseFileToOpen(
      this, {title, AudioFilter(), StartLocation(session_.AudioStart())});
  if (chosen) session_.AudioFileChosen(ToPath(*chosen));
  return chosen;
}

ReplaceOptions MainForm::Replacing(ReplaceFormat format) const {
  return {format, matchLoudnessToolStripMenuItem->isChecked()};
}

void MainForm::ReplaceSound(std::uint32_t index, const QString& file, ReplaceFormat format) {
  WaitCursor waiting;
  Show(session_.Replace(index, ToPath(file), Replacing(format)));
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
  if (!editor_.Loaded()) return;
  // Before the focused sound, or after the last one when no row has the focus.
  const std::uint32_t at = FocusedIndex().value_or(editor_.Count());
  const auto file = ChooseAudioFile(QStringLiteral("Insert Sound %1").arg(at));
  if (!file) return;
  WaitCursor waiting;
  Show(session_.Insert(at, ToPath(*file)));
}

void MainForm::removeToolStripMenuItem_Click() {
  if (const auto sounds = SelectedSounds(); !sounds.empty()) Show(session_.Remove(sounds));
}

void MainForm::replaceFromFolderToolStripMenuItem_Click() {
  if (!editor_.Loaded()) return;
  const auto folder = desktop_.ChooseFolder(
      this, {QStringLiteral("Replace Sounds from a Folder"), {}, ToText(session_.FolderStart())});
  if (!folder) return;
  const std::filesystem::path path = ToPath(*folder);
  ReplaceFromFiles(session_.FindReplacements(path),
                   QStringLiteral("Replace from %1").arg(ToText(path.filename())));
}

void MainForm::ReplaceFromFiles(const Result<std::vector<Replacement>>& found,
                                const QString& title) {
  if (!found) return Show(session_.Failed(found.status()));
  std::vector<ReplacementPreview> previews;
  const ReplaceOptions options = Replacing(ReplaceFormat::SoundsOwn);
  {
    WaitCursor waiting;
    previews = session_.Preview(*found, options);
  }
  FolderReplaceDialog dialog(
      title, previews, options.MatchLoudness,
      [this](const std::vector<Replacement>& ticked, bool matchLoudness) {
        WaitCursor waiting;
        const CommandOutcome replaced =
            session_.ReplaceMany(ticked, {ReplaceFormat::SoundsOwn, matchLoudness});
        // A refusal shows in the dialog, which stays open.
        if (replaced.Result) Show(replaced);
        return replaced.Result;
      },
      this);
  desktop_.RunDialog(dialog);
}

QList<QUrl> MainForm::DragFiles(const std::vector<std::uint32_t>& sounds) {
  // Made at the first drag, not at every start.
  if (!dragFolder_) dragFolder_.emplace();
  if (!dragFolder_->isValid()) {
    ShowStatus(QStringLiteral("Cannot drag sounds out: no temporary folder (%1)")
                   .arg(dragFolder_->errorString()));
    return {};
  }
  const auto files = session_.ExportForDrag(sounds, ToPath(dragFolder_->path()));
  if (!files) {  // the drag does not start; the reason is in the Messages panel
    ShowStatus(QStringLiteral("Cannot drag the sounds out (see Messages)"));
    ctrlMessages->show();
    return {};
  }
  QList<QUrl> urls;
  for (const std::filesystem::path& file : *files) urls << QUrl::fromLocalFile(ToText(file));
  return urls;
}

void MainForm::ctrlSoundsList_HeaderClick(int column) {
  const auto focused = FocusedIndex();
  ctrlSoundsFilter->CycleSort(column);
  // Sorted by a level, every sound is measured: rows move into place as their levels come.
  if (ctrlSoundsFilter->SortedBy() == column &&
      (column == SoundListModel::columnPeak || column == SoundListModel::columnLoudness))
    levels_->MeasureAll();
  ShowSortIndicator();
  // The focused sound stays focused and in sight, wherever the sort put its row.
  if (focused) {
    FocusSound(*focused);
    ctrlSoundsList->scrollTo(ctrlSoundsList->currentIndex());
  }
}

void MainForm::ShowSortIndicator() {
  QHeaderView* header = ctrlSoundsList->horizontalHeader();
  const auto column = ctrlSoundsFilter->SortedBy();
  header->setSortIndicatorShown(column.has_value());
  if (column) header->setSortIndicator(*column, ctrlSoundsFilter->sortOrder());
}

void MainForm::propertiesToolStripMenuItem_Click() {
  const auto index = FocusedIndex();
  if (!index) return;
  SoundPropertiesDialog dialog(
      *index, editor_.Entry(*index), session_.LevelsOf(*index),
      [this, index](const FieldEdit& fields) {
        // A refusal shows in the dialog, which stays open for another try.
        const CommandOutcome changed = session_.SetFields(*index, fields);
        if (changed.Result) Show(changed);
        return changed.Result;
      },
      this);
  desktop_.RunDialog(dialog);
}

}  // namespace Orvane
