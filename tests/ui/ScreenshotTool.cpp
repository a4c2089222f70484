// Opens a bank in the real main window through its File > Open command and, when asked,
// replaces its second sound with AUDIO through Edit > Replace Sound..., replaces the sounds a
// folder's files name through Edit > Replace from Folder... (its preview confirmed), and sorts
// the list by a column's header; then saves a picture of the window, and of the About window
// when asked:
//   orvane_screenshot [--replace AUDIO] [--from DIR] [--sort COLUMN] BANK PICTURE.png [ABOUT.png]
// Run it on a display (xvfb-run -a works).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>
#include <QTableView>

#include "AboutForm.h"
#include "FakeDesktop.h"
#include "LevelsMeter.h"
#include "MainForm.h"
#include "OpenWindows.h"

namespace {

bool Save(QWidget& window, const char* file) {
  QApplication::processEvents();
  if (window.grab().save(QString::fromLocal8Bit(file))) return true;
  std::fprintf(stderr, "orvane_screenshot: cannot write %s\n", file);
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  const char* replacement = nullptr;
  const char* folder = nullptr;
  int sortColumn = -1;
  for (; argc > 2 && std::strncmp(argv[1], "--", 2) == 0; argc -= 2, argv += 2) {
    if (std::strcmp(argv[1], "--replace") == 0) replacement = argv[2];
    else if (std::strcmp(argv[1], "--from") == 0) folder = argv[2];
    else if (std::strcmp(argv[1], "--sort") == 0) sortColumn = std::atoi(argv[2]);
    else argc = 0;  // an option it does not know
  }
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: orvane_screenshot [--replace AUDIO] [--from DIR] [--sort COLUMN] "
                         "BANK PICTURE.png [ABOUT.png]\n");
    return 2;
  }
  Orvane::Test::FakeDesktop desktop;
  desktop.Answers.push_back(QString::fromLocal8Bit(argv[1]));
  Orvane::SoundOutput output;
  Orvane::CSoundEditor editor(&output);
  Orvane::MainForm form(editor, {std::filesystem::current_path() / "output", nullptr, Orvane::ReportToConsole},
                        desktop);
  form.show();
  form.findChild<QAction*>(QStringLiteral("openToolStripMenuItem"))->trigger();
  auto* list = form.findChild<QTableView*>(QStringLiteral("ctrlSoundsList"));
  if (list->model()->rowCount() == 0) {
    std::fprintf(stderr, "orvane_screenshot: %s lists no sounds\n", argv[1]);
    return 1;
  }
  list->selectRow(1);
  list->setFocus();
  if (replacement != nullptr) {
    desktop.Answers.push_back(QString::fromLocal8Bit(replacement));
    form.findChild<QAction*>(QStringLiteral("replaceToolStripMenuItem"))->trigger();
  }
  if (folder != nullptr) {
    desktop.Answers.push_back(QString::fromLocal8Bit(folder));
    desktop.DialogUser = [](QDialog& dialog) { dialog.accept(); };
    form.findChild<QAction*>(QStringLiteral("replaceFromFolderToolStripMenuItem"))->trigger();
  }
  if (sortColumn >= 0) list->horizontalHeader()->sectionClicked(sortColumn);
  // Levels are measured off the window's thread: the picture waits for the cells to fill.
  auto* levels = form.findChild<Orvane::LevelsMeter*>();
  QElapsedTimer waited;
  waited.start();
  do {
    QTest::qWait(200);
  } while (levels != nullptr && levels->Busy() && waited.elapsed() < 10000);
  if (!Save(form, argv[2])) return 1;
  if (argc == 4) {
    form.findChild<QAction*>(QStringLiteral("aboutToolStripMenuItem"))->trigger();
    Orvane::AboutForm* about = Orvane::Test::AboutWindow();
    if (about == nullptr || !Save(*about, argv[3])) return 1;
  }
  return 0;
}
