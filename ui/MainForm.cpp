#include "MainForm.h"

#include <numeric>

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QCloseEvent>
#include <QCursor>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "AboutForm.h"
#include "ApplicationIcon.h"
#include "DesignScale.h"
#include "LevelsMeter.h"
#include "MessagesPanel.h"
#include "PathText.h"
#include "ProgramInfo.h"
#include "SoundFileName.h"
#include "SoundFilterModel.h"
#include "SoundListModel.h"
#include "Text.h"
#include "WaveformView.h"

namespace Orvane {
namespace {

// Design widths of the list's columns, in column order; 60 is the toolkit's default width.
constexpr int kColumnWidths[SoundListModel::kColumnCount] = {45, 60, 70, 60, 80, 80, 80, 80,
                                                             60, 80, 80, 60, 50, 60, 60};

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

// The local files a drag from another program carries: nothing for a drag out of this window's
// own list, or one that carries anything else.
QList<QString> DraggedFiles(const QDropEvent& event) {
  const QMimeData* data = event.mimeData();
  if (event.source() != nullptr || data == nullptr || !data->hasUrls()) return {};
  QList<QString> files;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    files << url.toLocalFile();
  }
  return files;
}

}  // namespace

MainForm::MainForm(CSoundEditor& editor, SessionServices services, Desktop& desktop)
    : desktop_(desktop),
      session_(editor, std::move(services),
               [this](const Message& message) {
                 if (ctrlMessages != nullptr) ctrlMessages->Add(message);
               }),
      editor_(editor) {
  InitializeComponent();
}

// An About window still open goes with the main window.
MainForm::~MainForm() { delete aboutWindow_; }

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

  ctrlSoundsModel = new SoundListModel(editor_, this);
  levels_ = new LevelsMeter(editor_, this);
  ctrlSoundsModel->SetLevels(*levels_);
  ctrlSoundsModel->SetChanges([this](std::uint32_t sound) { return session_.ChangeOf(sound); });
  ctrlSoundsList = new QTableView(central);
  ctrlSoundsList->setObjectName(QStringLiteral("ctrlSoundsList"));
  ctrlSoundsFilter = new SoundFilterModel(*ctrlSoundsModel, this);
  ctrlSoundsList->setModel(ctrlSoundsFilter);
  ctrlSoundsList->setShowGrid(true);
  ctrlSoundsList->setSelectionBehavior(QAbstractItemView::SelectRows);
  ctrlSoundsList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ctrlSoundsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Selected rows drag out as the WAVE files Export writes; nothing drops onto the list itself.
  ctrlSoundsList->setDragEnabled(true);
  ctrlSoundsList->setDragDropMode(QAbstractItemView::DragOnly);
  ctrlSoundsList->setDefaultDropAction(Qt::CopyAction);
  ctrlSoundsModel->SetDragFiles([this](const std::vector<std::uint32_t>& sounds) { return DragFiles(sounds); });
  ctrlSoundsList->setSortingEnabled(false);
  ctrlSoundsList->setTabKeyNavigation(false);
  ctrlSoundsList->setWordWrap(false);
  ctrlSoundsList->verticalHeader()->hide();
  ctrlSoundsList->verticalHeader()->setMinimumSectionSize(1);
  ctrlSoundsList->verticalHeader()->setDefaultSectionSize(scale.Y(kRowHeight));
  // A click on a header sorts by its column: ascending, descending, then the bank's order.
  ctrlSoundsList->horizontalHeader()->setSectionsClickable(true);
  ctrlSoundsList->horizontalHeader()->setSortIndicatorShown(false);
  connect(ctrlSoundsList->horizontalHeader(), &QHeaderView::sectionClicked, this,
          &MainForm::ctrlSoundsList_HeaderClick);
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
  ctrlChangedOnly = new QCheckBox(QStringLiteral("Changed only"), central);
  ctrlChangedOnly->setObjectName(QStringLiteral("ctrlChangedOnly"));
  ctrlChangedOnly->setToolTip(QStringLiteral("Show only the sounds that differ from the compared bank's"));
  connect(ctrlChangedOnly, &QCheckBox::toggled, this, &MainForm::ctrlChangedOnly_Toggled);
  auto* filterRow = new QHBoxLayout;
  filterRow->addWidget(ctrlFilter, 1);
  filterRow->addWidget(ctrlChangedOnly);
  layout->addLayout(filterRow);
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
  file->addSeparator();
  compareToolStripMenuItem = AddItem(this, file, "compareToolStripMenuItem", "Compare With...",
                                     &MainForm::compareToolStripMenuItem_Click);
  stopComparingToolStripMenuItem =
      AddItem(this, file, "stopComparingToolStripMenuItem", "Stop Comparing",
              &MainForm::stopComparingToolStripMenuItem_Click);
  AddEditMenu();
  // Messages dock under the list, closed until a command leaves a warning or the user opens it.
  ctrlMessages = new MessagesPanel(this);
  addDockWidget(Qt::BottomDockWidgetArea, ctrlMessages);
  ctrlMessages->hide();
  viewToolStripMenuItem = menuStrip1->addMenu(QStringLiteral("View"));
  viewToolStripMenuItem->setObjectName(QStringLiteral("viewToolStripMenuItem"));
  messagesToolStripMenuItem = ctrlMessages->toggleViewAction();
  messagesToolStripMenuItem->setObjectName(QStringLiteral("messagesToolStripMenuItem"));
  viewToolStripMenuItem->addAction(messagesToolStripMenuItem);
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

  // Wide enough for every column, between the list's margins and beside its scroll bar.
  const int columns = std::accumulate(std::begin(kColumnWidths), std::end(kColumnWidths), 0);
  resize(std::max(scale.X(884), scale.X(columns + 2 * 12) + ctrlSoundsList->verticalScrollBar()->sizeHint().width() + 4),
         scale.Y(681) + ctrlStatusBar->sizeHint().height());
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
  replaceFromFolderToolStripMenuItem =
      AddItem(this, edit, "replaceFromFolderToolStripMenuItem", "Replace from Folder...",
              &MainForm::replaceFromFolderToolStripMenuItem_Click);
  takeToolStripMenuItem = AddItem(this, edit, "takeToolStripMenuItem", "Take From Compared Bank",
                                  &MainForm::takeToolStripMenuItem_Click);
  matchLoudnessToolStripMenuItem = new QAction(QStringLiteral("Match Loudness When Replacing"), this);
  matchLoudnessToolStripMenuItem->setObjectName(QStringLiteral("matchLoudnessToolStripMenuItem"));
  matchLoudnessToolStripMenuItem->setCheckable(true);
  edit->addAction(matchLoudnessToolStripMenuItem);
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
  menu->addSeparator();
  ctrlSoundsContextListenCompared =
      AddItem(this, menu, "ctrlSoundsContextListenCompared", "Listen to Compared Sound",
              &MainForm::ctrlSoundsContextListenCompared_Click);
  ctrlSoundsContextTake = AddItem(this, menu, "ctrlSoundsContextTake", "Take From Compared Bank",
                                  &MainForm::takeToolStripMenuItem_Click);
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

void MainForm::FocusSound(std::uint32_t index) {
  const QModelIndex row =
      ctrlSoundsFilter->mapFromSource(ctrlSoundsModel->index(static_cast<int>(index), 0));
  if (row.isValid()) ctrlSoundsList->setCurrentIndex(row);
}

std::optional<std::uint32_t> MainForm::FocusedIndex() const {
  return SoundAt(ctrlSoundsList->currentIndex());
}

std::vector<std::uint32_t> MainForm::SelectedSounds() const {
  std::vector<std::uint32_t> sounds;
  for (const QModelIndex& row : ctrlSoundsList->selectionModel()->selectedRows())
    if (const auto sound = SoundAt(row)) sounds.push_back(*sound);
  if (sounds.empty())
    if (const auto focused = FocusedIndex()) sounds.push_back(*focused);
  std::sort(sounds.begin(), sounds.end());
  return sounds;
}

std::optional<std::uint32_t> MainForm::SoundAt(const QModelIndex& row) const {
  // The filter's row, mapped back to the sound it shows.
  const QModelIndex sound = ctrlSoundsFilter->mapToSource(row);
  if (!sound.isValid()) return std::nullopt;
  const auto index = static_cast<std::uint32_t>(sound.row());
  if (index >= editor_.Count()) return std::nullopt;
  return index;
}

void MainForm::Show(const CommandOutcome& outcome) {
  switch (outcome.ListChange) {
    case CommandOutcome::List::Same: break;
    case CommandOutcome::List::Rows: ctrlSoundsModel->Follow(outcome.Rows); break;
    case CommandOutcome::List::Refill:
      levels_->Forget();
      ctrlSoundsModel->Refill();
      break;
    case CommandOutcome::List::Offsets: ctrlSoundsModel->OffsetsChanged(); break;
    case CommandOutcome::List::Changes:
      ctrlSoundsModel->ChangesChanged();
      ctrlSoundsFilter->invalidate();
      break;
  }
  if (outcome.Focus) FocusSound(*outcome.Focus);
  if (outcome.Line) ShowStatus(QString::fromStdString(*outcome.Line));
  if (outcome.Warnings > 0) ctrlMessages->show();
  ShowBankState();
  if (outcome.ListChange == CommandOutcome::List::Rows ||
      outcome.ListChange == CommandOutcome::List::Refill)
    ShowFocusedSound();
}

void MainForm::ShowStatus(const QString& text) { ctrlStatusText->setText(text); }

void MainForm::ShowBankState() {
  const BankState state = session_.State();
  for (QAction* command :
       {saveToolStripMenuItem, saveAsToolStripMenuItem, exportAllToolStripMenuItem,
        replaceToolStripMenuItem, replaceKeepingFormatToolStripMenuItem,
        replaceFromFolderToolStripMenuItem, insertToolStripMenuItem,
        removeToolStripMenuItem, propertiesToolStripMenuItem, ctrlSoundsContextListen,
        ctrlSoundsContextExport, copyNameToolStripMenuItem1, ctrlSoundsContextReplace,
        ctrlSoundsContextProperties, ctrlSoundsContextRemove})
    command->setEnabled(state.Loaded);
  const bool comparing = session_.Comparing();
  compareToolStripMenuItem->setEnabled(state.Loaded);
  for (QAction* command : {stopComparingToolStripMenuItem, takeToolStripMenuItem,
                           ctrlSoundsContextListenCompared, ctrlSoundsContextTake})
    command->setEnabled(comparing);
  // Whatever ended the comparison (Stop Comparing, another bank, an edit past its end), a box
  // left ticked would hide every row.
  if (!comparing) ctrlChangedOnly->setChecked(false);
  ctrlChangedOnly->setEnabled(comparing);
  const auto showStep = [](QAction* item, const char* verb,
                           const std::optional<std::string>& name) {
    item->setText(name ? QString::fromStdString(Str(verb, " ", *name))
                       : QString::fromLatin1(verb));
    item->setEnabled(name.has_value());
  };
  showStep(undoToolStripMenuItem, "Undo", state.UndoName);
  showStep(redoToolStripMenuItem, "Redo", state.RedoName);

  const QString name = state.Loaded ? ToText(state.Path.filename()) : QString();
  ctrlBankName->setText(state.Loaded && state.Modified ? name + QStringLiteral(" *") : name);
  ctrlBankName->setToolTip(state.Loaded ? ToText(state.Path) : QString());
}

void MainForm::ShowFocusedSound() {
  ctrlWaveform->ShowSound(editor_, FocusedIndex());
  ShowPlayPosition();
}

void MainForm::ShowPlayPosition() {
  const auto index = FocusedIndex();
  ctrlWaveform->SetPlayPosition(index ? editor_.Playback().PlayedSeconds(*index) : std::nullopt);
  if (!editor_.Playback().IsPlaying()) playClock_->stop();
}

void MainForm::closeEvent(QCloseEvent* event) {
  if (MaySetBankAside()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!DraggedFiles(*event).isEmpty()) event->acceptProposedAction();
}

void MainForm::dragMoveEvent(QDragMoveEvent* event) {
  if (!DraggedFiles(*event).isEmpty()) event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event) {
  const QList<QString> files = DraggedFiles(*event);
  if (files.isEmpty()) return;
  event->acceptProposedAction();
  std::optional<std::uint32_t> row;
  const QPoint at = ctrlSoundsList->viewport()->mapFrom(this, event->position().toPoint());
  if (ctrlSoundsList->viewport()->rect().contains(at)) row = SoundAt(ctrlSoundsList->indexAt(at));
  // After the drop has ended: the question about unsaved edits and a conversion both wait for
  // the user or the disk, which the program that started the drag should not.
  QTimer::singleShot(0, this, [this, files, row] {
    std::vector<std::filesystem::path> paths;
    for (const QString& file : files) paths.push_back(ToPath(file));
    const DropRequest request = session_.Dropped(paths, row);
    switch (request.What) {
      case DropRequest::Kind::Nothing: return;
      case DropRequest::Kind::OpenBank: return OpenBankFile(ToText(request.File));
      case DropRequest::Kind::ReplaceMany:
        return ReplaceFromFiles(request.Found, QString::fromStdString(request.Title));
      case DropRequest::Kind::Explain: return ShowStatus(QString::fromStdString(request.Line));
      case DropRequest::Kind::ReplaceSound:
        FocusSound(request.Sound);
        return ReplaceSound(request.Sound, ToText(request.File), ReplaceFormat::SoundsOwn);
    }
  });
}

}  // namespace Orvane
