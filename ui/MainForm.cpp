#include "MainForm.h"

#include <exception>
#include <numeric>
#include <utility>

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "AboutForm.h"
#include "ApplicationIcon.h"
#include "DesignScale.h"
#include "Desktop.h"
#include "FileFilters.h"
#include "Globals.h"
#include "PathText.h"
#include "ProgramInfo.h"
#include "SoundFileName.h"
#include "SoundFilterModel.h"
#include "SoundListModel.h"
#include "Text.h"
#include "WaveformView.h"
#include "WorkingDirectory.h"

namespace Orvane {
namespace {

// Design widths of the list's columns, in column order; 60 is the toolkit's default width.
constexpr int kColumnWidths[SoundListModel::kColumnCount] = {45, 60, 70, 60, 80, 80,
                                                             80, 80, 60, 80, 80};

// A row of the list, as tall as a line of text with a little room around it.
constexpr int kRowHeight = 17;

// Adds an item to `menu` that runs `handler` on `form` when chosen.
QAction* AddItem(MainForm* form, QWidget* menu, const char* name, const char* text,
                 void (MainForm::*handler)(), const QKeySequence& shortcut = {}) {
  auto* item = new QAction(QString::fromLatin1(text), form);
  item->setObjectName(QString::fromLatin1(name));
  item->setShortcut(shortcut);
  menu->addAction(item);
  QObject::connect(item, &QAction::triggered, form, handler);
  return item;
}

// Keys that type a character play the focused sound, as the list's character notification
// does; Tab still moves the focus, and keys that type nothing move through the list.
bool TypesCharacter(const QKeyEvent& key) {
  if (key.text().isEmpty() || key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab)
    return false;
  const QChar c = key.text().front();
  return c.isPrint() || c == u'\r' || c == u'\n' || c == u'\x1b' || c == u'\b';
}

}  // namespace

MainForm::MainForm() : MainForm(SystemDesktop()) {}

MainForm::MainForm(Desktop& desktop) : desktop_(desktop) { InitializeComponent(); }

MainForm::~MainForm() {
  if (GlobalForms::MainWindow == this) GlobalForms::MainWindow = nullptr;
}

void MainForm::InitializeComponent() {
  const DesignScale scale(fontMetrics());
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QString::fromLatin1(kProgramName));
  setWindowIcon(ApplicationIcon());

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  // The list sits 12 pixels from the left, right and bottom edges and 3 below the menu bar,
  // and follows every edge when the window is resized.
  layout->setContentsMargins(scale.Margins(12, 3, 12, 12));

  ctrlSoundsModel = new SoundListModel(g_SoundEditor, this);
  ctrlSoundsList = new QTableView(central);
  ctrlSoundsList->setObjectName(QStringLiteral("ctrlSoundsList"));
  ctrlSoundsFilter = new SoundFilterModel(*ctrlSoundsModel, this);
  ctrlSoundsList->setModel(ctrlSoundsFilter);
  ctrlSoundsList->setShowGrid(true);
  ctrlSoundsList->setSelectionBehavior(QAbstractItemView::SelectRows);
  ctrlSoundsList->setSelectionMode(QAbstractItemView::SingleSelection);
  ctrlSoundsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ctrlSoundsList->setSortingEnabled(false);
  ctrlSoundsList->setTabKeyNavigation(false);
  ctrlSoundsList->setWordWrap(false);
  ctrlSoundsList->verticalHeader()->hide();
  ctrlSoundsList->verticalHeader()->setMinimumSectionSize(1);
  ctrlSoundsList->verticalHeader()->setDefaultSectionSize(scale.Y(kRowHeight));
  ctrlSoundsList->horizontalHeader()->setSectionsClickable(false);
  ctrlSoundsList->horizontalHeader()->setHighlightSections(false);
  ctrlSoundsList->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < SoundListModel::kColumnCount; ++column)
    ctrlSoundsList->setColumnWidth(column, scale.X(kColumnWidths[column]));
  // The selected row stays highlighted while the focus is elsewhere.
  QPalette palette = ctrlSoundsList->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight,
                   palette.color(QPalette::Active, QPalette::Highlight));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                   palette.color(QPalette::Active, QPalette::HighlightedText));
  ctrlSoundsList->setPalette(palette);
  // Right clicks reach ctrlSoundsList_MouseClick, which alone decides about the context menu.
  ctrlSoundsList->setContextMenuPolicy(Qt::PreventContextMenu);
  ctrlSoundsList->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
  ctrlSoundsList->viewport()->installEventFilter(this);
  ctrlSoundsList->installEventFilter(this);
  connect(ctrlSoundsList, &QAbstractItemView::doubleClicked, this,
          &MainForm::ctrlSoundsList_DoubleClick);
  connect(ctrlSoundsList->selectionModel(), &QItemSelectionModel::currentChanged, this,
          &MainForm::ShowFocusedSound);
  // The waveform sits under the list, which keeps its place; the user moves the split.
  ctrlSplitter = new QSplitter(Qt::Vertical, central);
  ctrlSplitter->setObjectName(QStringLiteral("ctrlSplitter"));
  ctrlSplitter->setChildrenCollapsible(false);
  ctrlSplitter->addWidget(ctrlSoundsList);
  ctrlWaveform = new WaveformView(ctrlSplitter);
  ctrlSplitter->addWidget(ctrlWaveform);
  ctrlSplitter->setStretchFactor(0, 4);
  ctrlSplitter->setStretchFactor(1, 1);
  playClock_ = new QTimer(this);
  playClock_->setTimerType(Qt::PreciseTimer);
  connect(playClock_, &QTimer::timeout, this, &MainForm::ShowPlayPosition);
  ctrlFilter = new QLineEdit(central);
  ctrlFilter->setObjectName(QStringLiteral("ctrlFilter"));
  ctrlFilter->setPlaceholderText(QStringLiteral("Filter by name"));
  ctrlFilter->setClearButtonEnabled(true);
  ctrlFilter->installEventFilter(this);
  connect(ctrlFilter, &QLineEdit::textChanged, this, &MainForm::ctrlFilter_TextChanged);
  auto* find = new QAction(this);
  find->setObjectName(QStringLiteral("findAction"));
  find->setShortcut(QKeySequence::Find);
  connect(find, &QAction::triggered, this, [this] {
    ctrlFilter->setFocus(Qt::ShortcutFocusReason);
    ctrlFilter->selectAll();
  });
  addAction(find);
  layout->addWidget(ctrlFilter);
  layout->addWidget(ctrlSplitter);
  setCentralWidget(central);

  menuStrip1 = menuBar();
  menuStrip1->setObjectName(QStringLiteral("menuStrip1"));
  fileToolStripMenuItem = menuStrip1->addMenu(QStringLiteral("File"));
  fileToolStripMenuItem->setObjectName(QStringLiteral("fileToolStripMenuItem"));
  QMenu* file = fileToolStripMenuItem;
  openToolStripMenuItem = AddItem(this, file, "openToolStripMenuItem", "Open",
                                  &MainForm::openToolStripMenuItem_Click);
  saveToolStripMenuItem = AddItem(this, file, "saveToolStripMenuItem", "Save",
                                  &MainForm::saveToolStripMenuItem_Click, QKeySequence::Save);
  saveAsToolStripMenuItem = AddItem(this, file, "saveAsToolStripMenuItem", "Save As...",
                                    &MainForm::saveAsToolStripMenuItem_Click, QKeySequence::SaveAs);
  exportAllToolStripMenuItem = AddItem(this, file, "exportAllToolStripMenuItem", "Export All",
                                       &MainForm::exportAllToolStripMenuItem_Click);
  createToolStripMenuItem = AddItem(this, file, "createToolStripMenuItem", "Create",
                                    &MainForm::createToolStripMenuItem_Click);
  AddEditMenu();
  aboutToolStripMenuItem = AddItem(this, menuStrip1, "aboutToolStripMenuItem", "About",
                                   &MainForm::aboutToolStripMenuItem_Click);
  AddContextMenu();

  ctrlStatusBar = statusBar();
  ctrlStatusBar->setObjectName(QStringLiteral("ctrlStatusBar"));
  ctrlStatusBar->setSizeGripEnabled(true);
  ctrlStatusText = new QLabel(ctrlStatusBar);
  ctrlStatusText->setObjectName(QStringLiteral("ctrlStatusText"));
  ctrlStatusText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // A permanent widget: hovering a menu item clears temporary status messages, not this.
  ctrlStatusBar->addWidget(ctrlStatusText, 1);
  ctrlBankName = new QLabel(ctrlStatusBar);
  ctrlBankName->setObjectName(QStringLiteral("ctrlBankName"));
  ctrlStatusBar->addPermanentWidget(ctrlBankName);

  // Files dropped anywhere on the window reach dropEvent: the list does not take drops itself.
  setAcceptDrops(true);
  ShowBankState();

  resize(scale.X(884), scale.Y(681) + ctrlStatusBar->sizeHint().height());
  // The waveform starts a fifth of the window high.
  ctrlSplitter->setSizes({scale.Y(681) * 4 / 5, scale.Y(681) / 5});
  ctrlSoundsList->setFocus();
}

void MainForm::AddEditMenu() {
  editToolStripMenuItem = menuStrip1->addMenu(QStringLiteral("Edit"));
  editToolStripMenuItem->setObjectName(QStringLiteral("editToolStripMenuItem"));
  QMenu* edit = editToolStripMenuItem;
  undoToolStripMenuItem = AddItem(this, edit, "undoToolStripMenuItem", "Undo",
                                  &MainForm::undoToolStripMenuItem_Click, QKeySequence::Undo);
  redoToolStripMenuItem = AddItem(this, edit, "redoToolStripMenuItem", "Redo",
                                  &MainForm::redoToolStripMenuItem_Click, QKeySequence::Redo);
  edit->addSeparator();
  replaceToolStripMenuItem =
      AddItem(this, edit, "replaceToolStripMenuItem", "Replace Sound...",
              &MainForm::replaceToolStripMenuItem_Click, QKeySequence(Qt::CTRL | Qt::Key_R));
  replaceKeepingFormatToolStripMenuItem =
      AddItem(this, edit, "replaceKeepingFormatToolStripMenuItem", "Replace Keeping Its Format...",
              &MainForm::replaceKeepingFormatToolStripMenuItem_Click,
              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
  insertToolStripMenuItem =
      AddItem(this, edit, "insertToolStripMenuItem", "Insert Sound...",
              &MainForm::insertToolStripMenuItem_Click, QKeySequence(Qt::Key_Insert));
  removeToolStripMenuItem = AddItem(this, edit, "removeToolStripMenuItem", "Remove Sound",
                                    &MainForm::removeToolStripMenuItem_Click, QKeySequence::Delete);
  propertiesToolStripMenuItem =
      AddItem(this, edit, "propertiesToolStripMenuItem", "Properties...",
              &MainForm::propertiesToolStripMenuItem_Click, QKeySequence(Qt::ALT | Qt::Key_Return));
  edit->addSeparator();
  stopToolStripMenuItem = AddItem(this, edit, "stopToolStripMenuItem", "Stop",
                                  &MainForm::stopToolStripMenuItem_Click);
}

void MainForm::AddContextMenu() {
  // Not attached to the list: ctrlSoundsList_MouseClick alone shows it. Its items have no
  // shortcuts: the Edit menu's twins have them, and a key bound twice would run neither.
  ctrlSoundsContext = new QMenu(this);
  ctrlSoundsContext->setObjectName(QStringLiteral("ctrlSoundsContext"));
  QMenu* menu = ctrlSoundsContext;
  ctrlSoundsContextListen = AddItem(this, menu, "ctrlSoundsContextListen", "Listen",
                                    &MainForm::ctrlSoundsContextListen_Click);
  ctrlSoundsContextExport = AddItem(this, menu, "ctrlSoundsContextExport", "Export",
                                    &MainForm::ctrlSoundsContextExport_Click);
  copyNameToolStripMenuItem1 = AddItem(this, menu, "copyNameToolStripMenuItem1", "Copy Name",
                                       &MainForm::copyNameToolStripMenuItem1_Click);
  ctrlSoundsContextStop =
      AddItem(this, menu, "ctrlSoundsContextStop", "Stop", &MainForm::stopToolStripMenuItem_Click);
  ctrlSoundsContextReplace = AddItem(this, menu, "ctrlSoundsContextReplace", "Replace...",
                                     &MainForm::replaceToolStripMenuItem_Click);
  ctrlSoundsContextProperties = AddItem(this, menu, "ctrlSoundsContextProperties", "Properties...",
                                        &MainForm::propertiesToolStripMenuItem_Click);
  ctrlSoundsContextRemove = AddItem(this, menu, "ctrlSoundsContextRemove", "Remove",
                                    &MainForm::removeToolStripMenuItem_Click);
}

void MainForm::showEvent(QShowEvent* event) {
  if (!loaded_) {
    loaded_ = true;
    MainForm_Load();
  }
  QMainWindow::showEvent(event);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ctrlFilter && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    ctrlFilter->clear();
    return true;
  }
  if (watched == ctrlSoundsList->viewport() && event->type() == QEvent::MouseButtonRelease) {
    ctrlSoundsList_MouseClick(static_cast<QMouseEvent*>(event));
  } else if (watched == ctrlSoundsList && event->type() == QEvent::KeyPress &&
             TypesCharacter(*static_cast<QKeyEvent*>(event))) {
    ctrlSoundsList_KeyPress();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainForm::MainForm_Load() {
  setWindowTitle(QString::fromStdString(Str(kProgramName, " - v", kVersion)));
  FillList();
}

void MainForm::FillList() {
  ctrlSoundsModel->Refill();
  ShowFocusedSound();
}

void MainForm::ctrlFilter_TextChanged(const QString& text) {
  ctrlSoundsFilter->SetText(text);
  ShowStatus(ctrlSoundsFilter->Active() ? QStringLiteral("%1 of %2 sounds")
                                              .arg(ctrlSoundsFilter->rowCount())
                                              .arg(g_SoundEditor.Count())
                                        : QString());
  ShowFocusedSound();
}

void MainForm::FocusSound(std::uint32_t index) {
  const QModelIndex row =
      ctrlSoundsFilter->mapFromSource(ctrlSoundsModel->index(static_cast<int>(index), 0));
  if (row.isValid()) ctrlSoundsList->setCurrentIndex(row);
}

void MainForm::ShowFocusedSound() {
  ctrlWaveform->ShowSound(g_SoundEditor, FocusedIndex());
  ShowPlayPosition();
}

void MainForm::ShowPlayPosition() {
  const auto index = FocusedIndex();
  ctrlWaveform->SetPlayPosition(index ? g_SoundEditor.PlayedSeconds(*index) : std::nullopt);
  if (!g_SoundEditor.IsPlaying()) playClock_->stop();
}

std::optional<std::uint32_t> MainForm::FocusedIndex() const {
  return SoundAt(ctrlSoundsList->currentIndex());
}

std::optional<std::uint32_t> MainForm::SoundAt(const QModelIndex& row) const {
  // The filter's row, mapped back to the sound it shows.
  const QModelIndex sound = ctrlSoundsFilter->mapToSource(row);
  if (!sound.isValid()) return std::nullopt;
  const auto index = static_cast<std::uint32_t>(sound.row());
  if (index >= g_SoundEditor.Count())
    return std::nullopt;
  return index;
}

void MainForm::ShowOutcome(const Status& outcome) {
  if (!outcome) ReportToConsole(ReportKind::Warning, outcome.message() + "\n");
  ShowStatus(QString::fromStdString(outcome.message()));
}

void MainForm::ShowStatus(const QString& text) { ctrlStatusText->setText(text); }

void MainForm::openToolStripMenuItem_Click() {
  if (!MaySetBankAside()) return;
  const auto chosen = desktop_.ChooseFileToOpen(
      this, {QStringLiteral("Open SDT Bank"), BankFilter(), StartLocation(g_InitialDirectory)});
  if (chosen) LoadBankFile(*chosen);
}

void MainForm::OpenBankFile(const QString& path) {
  if (MaySetBankAside()) LoadBankFile(path);
}

void MainForm::LoadBankFile(const QString& path) {
  // Remembered before loading, so a file that fails to load is where the next dialog starts.
  g_InitialDirectory = path;
  const Status loaded = g_SoundEditor.LoadBank(ToPath(path));
  ShowOutcome(loaded);
  // A bank of no sounds makes the engine give up the one it had, and its rows go with it;
  // any other failure leaves the bank and its rows as they were.
  if (loaded || g_SoundEditor.Count() == 0) FillList();
  ShowBankState();
}

void MainForm::exportAllToolStripMenuItem_Click() {
  if (g_SoundEditor.Count() == 0) return;
  std::uint32_t failures = 0;
  Status last = Status::Ok();
  std::vector<std::uint32_t> all(g_SoundEditor.Count());
  std::iota(all.begin(), all.end(), 0u);
  for (Status& exported : g_SoundEditor.ExportEach(all, OutputFolder())) {
    if (exported) continue;
    ReportToConsole(ReportKind::Warning, exported.message() + "\n");
    ++failures;
    last = std::move(exported);
  }
  if (failures == 0) {
    ShowStatus(QString::fromStdString(
        Str("Exported ", all.size(), all.size() == 1 ? " sound to " : " sounds to ",
            OutputFolder().string())));
  } else if (failures == 1) {
    ShowStatus(QString::fromStdString(last.message()));
  } else {
    ShowStatus(QString::fromStdString(
        Str(failures, " sounds were not exported (see the console); the last: ", last.message())));
  }
}

void MainForm::createToolStripMenuItem_Click() {
  const auto chosen = desktop_.ChooseFileToSave(
      this,
      {QStringLiteral("Save Sound Bank"), BankFilter(), StartLocation(g_InitialDirectorySave)});
  if (!chosen || chosen->isEmpty()) return;
  const std::filesystem::path target = ToPath(*chosen);
  // Bank creation's progress lines and warnings show under the list as well as on the console.
  g_SoundEditor.SetReporter([this](ReportKind kind, const std::string& line) {
    ReportToConsole(kind, line);
    ShowStatus(QString::fromStdString(line).trimmed());
  });
  Status created = Status::Ok();
  // Nothing that goes wrong while a bank is made may end the program.
  try {
    created = g_SoundEditor.CreateBank(target);
  } catch (const std::exception& e) {
    created = Status::Error(e.what());
  }
  g_SoundEditor.SetReporter(ReportToConsole);
  if (!created)
    ShowOutcome(
        Status::Error(Str("cannot create the bank ", target.string(), ": ", created.message())));
}

void MainForm::aboutToolStripMenuItem_Click() {
  if (GlobalForms::AboutWindow != nullptr) return;
  GlobalForms::AboutWindow = new AboutForm(desktop_);
  GlobalForms::AboutWindow->show();
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

void MainForm::ctrlSoundsList_DoubleClick() { ctrlSoundsContextListen_Click(); }

void MainForm::ctrlSoundsList_KeyPress() { ctrlSoundsContextListen_Click(); }

void MainForm::ctrlSoundsContextListen_Click() {
  const auto index = FocusedIndex();
  if (!index) return;
  if (Status played = g_SoundEditor.Play(*index); !played) return ShowOutcome(played);
  // Once a frame while it plays (a screen may not say its rate); the clock stops with the sound.
  const qreal hertz = screen()->refreshRate();
  playClock_->setInterval(qRound(1000.0 / (hertz >= 10 ? hertz : 60)));
  playClock_->start();
  ShowPlayPosition();
  ShowStatus(QString::fromStdString(
      Str("Playing sound ", SoundLabel(*index, g_SoundEditor.Entry(*index).Entry))));
}

void MainForm::ctrlSoundsContextExport_Click() {
  const auto index = FocusedIndex();
  if (!index) return;
  if (Status exported = g_SoundEditor.Export(*index); !exported) return ShowOutcome(exported);
  ShowStatus(QString::fromStdString(
      Str("Exported sound ", *index, " to ",
          (OutputFolder() / ExportFileName(*index, g_SoundEditor.Entry(*index).Entry)).string())));
}

void MainForm::stopToolStripMenuItem_Click() {
  ShowStatus(g_SoundEditor.Stop() ? QStringLiteral("Stopped the sound")
                                  : QStringLiteral("No sound is playing"));
  ShowPlayPosition();
}

void MainForm::copyNameToolStripMenuItem1_Click() {
  const auto index = FocusedIndex();
  if (!index) return;
  // The name of the file that Export writes for the same sound, without ".wav".
  desktop_.SetClipboardText(
      QString::fromStdString(ExportStem(*index, g_SoundEditor.Entry(*index).Entry)));
}

}  // namespace Orvane
