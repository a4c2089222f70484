#pragma once
// Banks on disk and a main window driven the way a user drives it, with a fake desktop.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>

#include "FakeDesktop.h"
#include "MainForm.h"
#include "OpenWindows.h"
#include "PathText.h"
#include "TestFiles.h"

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace Orvane::Test {

// A bank whose every sound declares more sample data than the file holds: listed, but export
// and playback refuse it with a reason that names the sound.
inline Bytes DamagedBank(const std::vector<SoundSpec>& sounds) {
  Bytes bank = MakeBank(sounds);
  for (std::size_t i = 0; i < sounds.size(); ++i) {
    const std::size_t offset = bank[4 + 4 * i] | bank[5 + 4 * i] << 8 | bank[6 + 4 * i] << 16 |
                               static_cast<std::size_t>(bank[7 + 4 * i]) << 24;
    PutU32(bank, offset + 4, 0x7FFFFFFF);
  }
  return bank;
}

// A fresh engine, a main window on a fake desktop, shown, in a working directory of its own.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { form.show(); }

  std::filesystem::path WriteBank(const std::string& name, const Bytes& bytes) {
    const auto path = dir / name;
    WriteFile(path, bytes);
    return path;
  }
  // File > Open, answered with `path`, or cancelled.
  void Open(const std::optional<std::filesystem::path>& path) {
    desktop.Answers.push_back(path ? std::optional(ToText(*path))
                                   : std::nullopt);
    Action("openToolStripMenuItem")->trigger();
  }

  QAction* Action(const char* name) { return form.findChild<QAction*>(QString::fromLatin1(name)); }
  QTableView* List() { return form.findChild<QTableView*>(QStringLiteral("ctrlSoundsList")); }
  QMenu* ContextMenu() { return form.findChild<QMenu*>(QStringLiteral("ctrlSoundsContext")); }
  QString StatusLine() { return form.findChild<QLabel*>(QStringLiteral("ctrlStatusText"))->text(); }
  int Rows() { return List()->model()->rowCount(); }
  QString Cell(int row, int column) {
    return List()->model()->index(row, column).data().toString();
  }
  void Focus(int row) { List()->setCurrentIndex(List()->model()->index(row, 0)); }
  QPoint CentreOfRow(int row) {
    return List()->visualRect(List()->model()->index(row, 2)).center();
  }

  TempDir dir;
  ScopedWorkingDirectory workingDirectory{dir.Path()};
  FakeDesktop desktop;
  SoundOutput output;
  CSoundEditor editor{&output};
  MainForm form{editor, {dir / "output", nullptr, ReportToConsole}, desktop};
};

}  // namespace Orvane::Test
