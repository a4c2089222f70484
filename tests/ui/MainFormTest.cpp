#include <gtest/gtest.h>
#include <QApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QMenuBar>
#include <QTest>

#include "PathUtf8.h"
#include "ProgramInfo.h"
#include "SoundFileName.h"
#include "UiTestSupport.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

using MainFormTest = MainWindowTest;

std::vector<SoundSpec> ThreeSounds() {
  return {{.Name = "abc", .Data = Samples(100, 1)},
          {.Name = "bell", .Data = Samples(60, 2)},
          {.Name = "door", .Data = Samples(20, 3)}};
}

TEST_F(MainFormTest, MenusHoldTheirItemsInOrderWithTheirShortcuts) {
  const QList<QAction*> bar = form.menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[0]->text(), "File");
  EXPECT_EQ(bar[1]->text(), "Edit");
  EXPECT_EQ(bar[2]->text(), "View");
  EXPECT_EQ(bar[3]->text(), "About");
  struct Item {
    QString text;
    QKeySequence shortcut;
  };
  const auto expect = [](QMenu* menu, const std::vector<Item>& items) {
    QList<QAction*> actions = menu->actions();
    actions.removeIf([](QAction* a) { return a->isSeparator(); });
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size()));
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(actions[i]->text(), items[i].text);
      EXPECT_EQ(actions[i]->shortcut(), items[i].shortcut) << items[i].text.toStdString();
    }
  };
  expect(bar[0]->menu(), {{"Open", {}},
                          {"Save", QKeySequence::Save},
                          {"Save As...", QKeySequence::SaveAs},
                          {"Export All", {}},
                          {"Create", {}},
                          {"Compare With...", {}},
                          {"Stop Comparing", {}}});
  expect(bar[1]->menu(), {{"Undo", QKeySequence::Undo},
                          {"Redo", QKeySequence::Redo},
                          {"Replace Sound...", QKeySequence(Qt::CTRL | Qt::Key_R)},
                          {"Replace Keeping Its Format...",
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R)},
                          {"Replace from Folder...", {}},
                          {"Take From Compared Bank", {}},
                          {"Match Loudness When Replacing", {}},
                          {"Insert Sound...", QKeySequence(Qt::Key_Insert)},
                          {"Remove Sound", QKeySequence::Delete},
                          {"Properties...", QKeySequence(Qt::ALT | Qt::Key_Return)},
                          {"Stop", {}}});
  expect(bar[2]->menu(), {{"Messages", {}}});
  expect(ContextMenu(), {{"Listen", {}},
                         {"Export", {}},
                         {"Copy Name", {}},
                         {"Stop", {}},
                         {"Replace...", {}},
                         {"Properties...", {}},
                         {"Remove", {}},
                         {"Listen to Compared Sound", {}},
                         {"Take From Compared Bank", {}}});
}

TEST_F(MainFormTest, TitleNamesProgramAndVersionOnceLoaded) {
  MainForm fresh(editor, {dir / "output", nullptr, ReportToConsole}, desktop);
  EXPECT_EQ(fresh.windowTitle(), "Orvane");
  fresh.show();
  const QString title = QStringLiteral("Orvane - v") + QString::fromLatin1(kVersion);
  EXPECT_EQ(fresh.windowTitle(), title);
  EXPECT_EQ(form.windowTitle(), title);
  EXPECT_EQ(Rows(), 0);
}

TEST_F(MainFormTest, ListHasItsColumnsWithTheirHeadersAndWidthsThatGrowWithTheFont) {
  struct Column {
    const char* header;
    int designWidth;
  };
  const Column columns[] = {{"Index", 45},         {"Offset", 60},      {"HeaderSize", 70},
                            {"DataSize", 60},      {"Name", 80},        {"SampleRate", 80},
                            {"BitsPerSample", 80}, {"NumChannels", 80}, {"Unknown", 60},
                            {"LoopStart", 80},     {"LoopEnd", 80},     {"Length", 60},
                            {"Peak", 50},          {"Loudness", 60},    {"Change", 60}};
  // The same window laid out for a font twice as large.
  const QFont normal = QApplication::font();
  QFont large = normal;
  large.setPointSizeF(normal.pointSizeF() * 2);
  QApplication::setFont(large);
  MainForm wide(editor, {dir / "output", nullptr, ReportToConsole}, desktop);
  QApplication::setFont(normal);
  auto* wideList = wide.findChild<QTableView*>(QStringLiteral("ctrlSoundsList"));
  ASSERT_EQ(List()->model()->columnCount(), 15);
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(columns[i].header);
    EXPECT_EQ(List()->model()->headerData(i, Qt::Horizontal).toString(), columns[i].header);
    // Each column keeps its share of the design's widths, within a pixel of rounding.
    EXPECT_NEAR(List()->columnWidth(i) * columns[0].designWidth,
                List()->columnWidth(0) * columns[i].designWidth, 1.0 * columns[i].designWidth);
    EXPECT_GT(wideList->columnWidth(i), List()->columnWidth(i) * 3 / 2);
  }
  EXPECT_FALSE(List()->verticalHeader()->isVisible());
  EXPECT_EQ(List()->editTriggers(), QAbstractItemView::NoEditTriggers);
}

TEST_F(MainFormTest, OpenListsEveryFieldOfEverySound) {
  // 448 bytes of samples put the second header at 12 + 40 + 448 = 500.
  const auto bank =
      WriteBank("a.sdt", MakeBank({{.Name = "caf\xE9",  // Windows-1252 e-acute
                                    .Data = Samples(448),
                                    .SampleRate = 44100,
                                    .BitsPerSample = 16,
                                    .NumChannels = 2,
                                    .Unknown = 7,
                                    .LoopStart = 8,
                                    .LoopEnd = 4000000000u},
                                   {.Name = "sixteen_letters!", .Data = Samples(2)}}));
  Open(bank);
  ASSERT_EQ(Rows(), 2);
  const QStringList first = {"0",  "0C", "40", "448", "café",       "44100",
                             "16", "2",  "7",  "8",   "4000000000", "0.01"};
  for (int column = 0; column < 12; ++column) EXPECT_EQ(Cell(0, column), first[column]) << column;
  EXPECT_EQ(Cell(1, 0), "1");
  EXPECT_EQ(Cell(1, 1), "1F4");
  EXPECT_EQ(Cell(1, 4), "sixteen_letters!");
  EXPECT_EQ(StatusLine(), "");
}

TEST_F(MainFormTest, OpenDialogAsksForBanksStartingWhereTheLastFileWas) {
  Open(std::nullopt);
  ASSERT_EQ(desktop.OpenRequests.size(), 1u);
  EXPECT_EQ(desktop.OpenRequests[0].Title, "Open SDT Bank");
  EXPECT_EQ(desktop.OpenRequests[0].Filter, "SDT (*.sdt)");
  EXPECT_EQ(fs::path(desktop.OpenRequests[0].Start.toStdString()), fs::current_path());

  const auto bank = WriteBank("a.sdt", MakeBank(ThreeSounds()));
  Open(bank);
  Open(std::nullopt);
  EXPECT_EQ(desktop.OpenRequests.back().Start, QString::fromStdString(PathToUtf8(bank)));
  EXPECT_EQ(fs::current_path(), dir.Path()) << "dialogs must not move the output folder";
}

TEST_F(MainFormTest, CancelledOpenChangesNothingAndFailedOpenOnlyTheRememberedPath) {
  const auto bank = WriteBank("a.sdt", MakeBank(ThreeSounds()));
  Open(bank);
  Focus(1);

  Open(std::nullopt);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, 4), "bell");
  EXPECT_EQ(desktop.OpenRequests.back().Start, QString::fromStdString(PathToUtf8(bank)));

  const auto missing = dir / "missing.sdt";
  Open(missing);
  EXPECT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, 4), "bell");
  EXPECT_EQ(List()->currentIndex().row(), 1);
  EXPECT_TRUE(StatusLine().contains("missing.sdt")) << StatusLine().toStdString();

  Open(std::nullopt);
  EXPECT_EQ(desktop.OpenRequests.back().Start, QString::fromStdString(PathToUtf8(missing)));
}

TEST_F(MainFormTest, BankOfNoSoundsEmptiesTheListAndCommandsDoNothing) {
  Open(WriteBank("a.sdt", MakeBank(ThreeSounds())));
  Focus(2);
  Open(WriteBank("none.sdt", Bytes{0, 0, 0, 0}));
  EXPECT_EQ(Rows(), 0);
  const QString refusal = StatusLine();
  EXPECT_FALSE(refusal.isEmpty());

  for (const char* command :
       {"saveToolStripMenuItem", "saveAsToolStripMenuItem", "exportAllToolStripMenuItem",
        "replaceToolStripMenuItem", "insertToolStripMenuItem", "removeToolStripMenuItem",
        "propertiesToolStripMenuItem", "ctrlSoundsContextListen", "ctrlSoundsContextRemove"})
    EXPECT_FALSE(Action(command)->isEnabled()) << command;
  fs::create_directory("output");
  for (const char* command : {"ctrlSoundsContextListen", "ctrlSoundsContextExport",
                              "copyNameToolStripMenuItem1", "exportAllToolStripMenuItem"})
    Action(command)->trigger();
  QTest::keyClick(List(), Qt::Key_A);
  EXPECT_TRUE(fs::is_empty("output"));
  EXPECT_TRUE(desktop.Clipboard.empty());
  EXPECT_EQ(StatusLine(), refusal);
}

TEST_F(MainFormTest, SecondOpenReplacesEveryRow) {
  Open(WriteBank("a.sdt", MakeBank(ThreeSounds())));
  Open(WriteBank("b.sdt", MakeBank({{.Name = "other", .Data = Samples(5)}})));
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), "0");
  EXPECT_EQ(Cell(0, 3), "5");
  EXPECT_EQ(Cell(0, 4), "other");
}

TEST_F(MainFormTest, RightClickOnTheFocusedRowAloneOpensTheContextMenu) {
  QWidget* area = List()->viewport();
  QTest::mouseClick(area, Qt::RightButton, {}, QPoint(20, 20));
  EXPECT_FALSE(ContextMenu()->isVisible()) << "empty list";

  Open(WriteBank("a.sdt", MakeBank(ThreeSounds())));
  const QPoint belowLastRow(CentreOfRow(2).x(),
                            List()->visualRect(List()->model()->index(2, 0)).bottom() + 10);
  struct Click {
    Qt::MouseButton button;
    QPoint at;
    bool opens;
  };
  for (const Click& click :
       {Click{Qt::LeftButton, CentreOfRow(1), false},
        Click{Qt::MiddleButton, CentreOfRow(1), false}, Click{Qt::RightButton, belowLastRow, false},
        Click{Qt::RightButton, CentreOfRow(1), true}}) {
    QTest::mouseClick(area, click.button, {}, click.at);
    EXPECT_EQ(ContextMenu()->isVisible(), click.opens) << click.button << " at " << click.at.y();
    ContextMenu()->hide();
  }
  EXPECT_EQ(List()->currentIndex().row(), 1);
}

TEST_F(MainFormTest, ListenByMenuDoubleClickAndTypedKeyPlaysTheFocusedSound) {
  // Playback of a damaged sound is refused with a reason naming it: that shows which index
  // reached the engine.
  Open(WriteBank("a.sdt", DamagedBank(ThreeSounds())));
  ASSERT_EQ(Rows(), 3);

  Focus(1);
  Action("ctrlSoundsContextListen")->trigger();
  EXPECT_TRUE(StatusLine().contains("sound 1 ")) << StatusLine().toStdString();

  // A double-click is a click followed by the double-click event.
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, CentreOfRow(2));
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, CentreOfRow(2));
  EXPECT_TRUE(StatusLine().contains("sound 2 ")) << StatusLine().toStdString();

  for (const Qt::Key key : {Qt::Key_A, Qt::Key_5, Qt::Key_Space, Qt::Key_Return, Qt::Key_Escape}) {
    Focus(0);
    form.findChild<QLabel*>(QStringLiteral("ctrlStatusText"))->clear();
    QTest::keyClick(List(), key);
    EXPECT_TRUE(StatusLine().contains("sound 0 ")) << key;
  }

  // Keys that type nothing move through the list and play nothing.
  form.findChild<QLabel*>(QStringLiteral("ctrlStatusText"))->clear();
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(List()->currentIndex().row(), 1);
  EXPECT_EQ(StatusLine(), "");
}

TEST_F(MainFormTest, ExportAndExportAllWriteWaveFilesIntoOutput) {
  Open(WriteBank("a.sdt", MakeBank(ThreeSounds())));
  Focus(1);
  Action("ctrlSoundsContextExport")->trigger();
  EXPECT_EQ(fs::file_size("output/1_bell.wav"), 44u + 60u);
  EXPECT_FALSE(fs::exists("output/0_abc.wav"));
  EXPECT_EQ(StatusLine(), QString::fromStdString("Exported sound 1 to " +
                                                 PathToUtf8(dir / "output" / "1_bell.wav")));

  Action("exportAllToolStripMenuItem")->trigger();
  EXPECT_EQ(fs::file_size("output/0_abc.wav"), 44u + 100u);
  EXPECT_EQ(fs::file_size("output/2_door.wav"), 44u + 20u);
  EXPECT_EQ(StatusLine(),
            QString::fromStdString("Exported 3 sounds to " + PathToUtf8(dir / "output")));
}

TEST_F(MainFormTest, ExportAllReportsRefusedSoundsAndExportsTheOthers) {
  Bytes bank = MakeBank(ThreeSounds());
  PutU32(bank, 16 + 40 + 100 + 4, 0x7FFFFFFF);  // the second sound's DataSize
  Open(WriteBank("a.sdt", bank));
  Action("exportAllToolStripMenuItem")->trigger();
  EXPECT_TRUE(fs::exists("output/0_abc.wav"));
  EXPECT_TRUE(fs::exists("output/2_door.wav"));
  EXPECT_FALSE(fs::exists("output/1_bell.wav"));
  EXPECT_TRUE(StatusLine().contains("sound 1 ")) << StatusLine().toStdString();
}

TEST_F(MainFormTest, CopyNamePutsTheExportedFileNameOnTheClipboard) {
  Open(WriteBank("a.sdt", MakeBank({{.Name = "abc", .Data = Samples(4)},
                                    {.Name = "a/b", .Data = Samples(4)}})));
  Focus(0);
  Action("copyNameToolStripMenuItem1")->trigger();
  Focus(1);
  Action("copyNameToolStripMenuItem1")->trigger();
  Action("ctrlSoundsContextExport")->trigger();
  ASSERT_EQ(desktop.Clipboard.size(), 2u);
  EXPECT_EQ(desktop.Clipboard[0], "0_abc");
  EXPECT_TRUE(fs::exists(fs::path("output") / (desktop.Clipboard[1].toStdString() + ".wav")));
}

TEST_F(MainFormTest, CreateFailuresAreReportedAndTheProgramGoesOn) {
  Open(WriteBank("a.sdt", MakeBank(ThreeSounds())));
  const QString target = QString::fromStdString(PathToUtf8(dir / "new.sdt"));

  desktop.Answers = {target};
  Action("createToolStripMenuItem")->trigger();
  ASSERT_EQ(desktop.SaveRequests.size(), 1u);
  EXPECT_EQ(desktop.SaveRequests[0].Title, "Save Sound Bank");
  EXPECT_EQ(desktop.SaveRequests[0].Filter, "SDT (*.sdt)");
  EXPECT_EQ(fs::path(desktop.SaveRequests[0].Start.toStdString()), fs::current_path());
  EXPECT_TRUE(StatusLine().contains("output")) << StatusLine().toStdString();

  fs::create_directory("output");
  WriteFile(dir / "output" / "99999999999_big.wav", MakeWave(Samples(10)));
  desktop.Answers = {target};
  Action("createToolStripMenuItem")->trigger();
  EXPECT_TRUE(StatusLine().contains("99999999999_big.wav")) << StatusLine().toStdString();
  EXPECT_FALSE(fs::exists(dir / "new.sdt"));

  // Cancelled, or confirmed with no name: nothing happens.
  desktop.Answers = {std::nullopt, QString()};
  Action("createToolStripMenuItem")->trigger();
  Action("createToolStripMenuItem")->trigger();
  EXPECT_TRUE(StatusLine().contains("99999999999_big.wav"));

  fs::remove(dir / "output" / "99999999999_big.wav");
  Action("exportAllToolStripMenuItem")->trigger();
  desktop.Answers = {target};
  Action("createToolStripMenuItem")->trigger();
  EXPECT_EQ(StatusLine(), "Created SDT bank");
  EXPECT_TRUE(fs::exists(dir / "new.sdt"));
  EXPECT_EQ(Rows(), 3) << "Create neither loads nor lists the new bank";
}

TEST_F(MainFormTest, WholeCycleExportEditCreateOpen) {
  Open(WriteBank("a.sdt", MakeBank(ThreeSounds())));
  Action("exportAllToolStripMenuItem")->trigger();
  fs::remove("output/1_bell.wav");
  WriteFile(dir / "output" / "1_horn.wav", MakeWave(Samples(300), 11025));
  desktop.Answers = {QString::fromStdString(PathToUtf8(dir / "new.sdt"))};
  Action("createToolStripMenuItem")->trigger();

  Open(dir / "new.sdt");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, 4), "horn");
  EXPECT_EQ(Cell(1, 3), "300");
  EXPECT_EQ(Cell(1, 5), "22050");  // twice the rate
  EXPECT_EQ(Cell(2, 4), "door");
  EXPECT_EQ(Cell(2, 3), "20");
}

}  // namespace
}  // namespace Orvane::Test
