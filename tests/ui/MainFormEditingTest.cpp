#include <gtest/gtest.h>

#include <fstream>

#include <cstdlib>
#include <optional>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include "PathUtf8.h"
#include "SoundListModel.h"
#include "SoundOutput.h"
#include "UiTestSupport.h"
#include "WaveformView.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

constexpr int kDataSize = SoundListModel::columnDataSize;
constexpr int kBits = SoundListModel::columnBitsPerSample;

class MainFormEditingTest : public MainWindowTest {
 protected:
  void SetUp() override {
    original = MakeBank({{.Name = "abc", .Data = Samples(100, 1)},
                         {.Name = "bell", .Data = Samples(60, 2)},
                         {.Name = "door", .Data = Samples(20, 3)}});
    bank = WriteBank("a.sdt", original);
    Open(bank);
    // 200 frames of 8-bit audio: 400 bytes once converted to a sound's 16 bits.
    WriteFile(dir / "new.wav", MakeWave(Samples(200, 9), 22050, 8));
  }

  // Drags the local file `path` over the window and drops it at `at`, in the window's
  // coordinates, as a file manager does: Qt drops only where the drag was taken.
  void Drop(const fs::path& path, QPoint at) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(PathToUtf8(path)))});
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&form, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(&form, &drop);
    QApplication::processEvents();
  }
  QPoint OnRow(int row) { return List()->viewport()->mapTo(&form, CentreOfRow(row)); }
  QString BankName() { return form.findChild<QLabel*>(QStringLiteral("ctrlBankName"))->text(); }
  void RemoveFirst() {
    Focus(0);
    Action("removeToolStripMenuItem")->trigger();
  }

  Bytes original;
  fs::path bank;
};

TEST_F(MainFormEditingTest, ReplaceByDialogAndByDropThenUndoAndRedo) {
  EXPECT_EQ(BankName(), "a.sdt");
  EXPECT_FALSE(Action("undoToolStripMenuItem")->isEnabled());
  for (const char* command : {"replaceToolStripMenuItem", "insertToolStripMenuItem",
                              "removeToolStripMenuItem", "propertiesToolStripMenuItem",
                              "saveToolStripMenuItem", "ctrlSoundsContextRemove"})
    EXPECT_TRUE(Action(command)->isEnabled()) << command;

  Focus(1);
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "new.wav")));
  Action("replaceToolStripMenuItem")->trigger();
  EXPECT_TRUE(desktop.OpenRequests.back().Filter.contains("*.flac"));
  EXPECT_EQ(Cell(1, kDataSize), "400");
  EXPECT_EQ(Cell(1, kBits), "16");
  EXPECT_EQ(StatusLine(), "Replaced sound 1 (bell) with new.wav");
  EXPECT_EQ(BankName(), "a.sdt *");
  EXPECT_EQ(List()->currentIndex().row(), 1) << "the focus survives the edit";

  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "new.wav")));
  Action("replaceKeepingFormatToolStripMenuItem")->trigger();
  EXPECT_EQ(Cell(1, kDataSize), "200");
  EXPECT_EQ(Cell(1, kBits), "8");

  Drop(dir / "new.wav", OnRow(2));
  EXPECT_EQ(Cell(2, kDataSize), "400");
  EXPECT_EQ(List()->currentIndex().row(), 2);
  Drop(dir / "new.wav", List()->viewport()->mapTo(&form, QPoint(5, CentreOfRow(2).y() + 60)));
  EXPECT_TRUE(StatusLine().startsWith("Drop an audio file on the row")) << "below the last row";

  EXPECT_EQ(Action("undoToolStripMenuItem")->text(), "Undo Replace sound 2");
  Action("undoToolStripMenuItem")->trigger();
  EXPECT_EQ(Cell(2, kDataSize), "20");
  EXPECT_EQ(StatusLine(), "Undone: Replace sound 2");
  EXPECT_EQ(Action("redoToolStripMenuItem")->text(), "Redo Replace sound 2");
  Action("undoToolStripMenuItem")->trigger();
  Action("undoToolStripMenuItem")->trigger();
  EXPECT_EQ(Cell(1, kDataSize), "60");
  EXPECT_FALSE(Action("undoToolStripMenuItem")->isEnabled());
  EXPECT_EQ(BankName(), "a.sdt") << "back at the saved state";
  Action("redoToolStripMenuItem")->trigger();
  EXPECT_EQ(Cell(1, kDataSize), "400");
  EXPECT_EQ(StatusLine(), "Redone: Replace sound 1");
}

TEST_F(MainFormEditingTest, InsertAndRemoveMoveTheRowsAfterThem) {
  Focus(1);
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "new.wav")));
  Action("insertToolStripMenuItem")->trigger();
  ASSERT_EQ(Rows(), 4);
  EXPECT_EQ(Cell(1, SoundListModel::columnName), "new");
  EXPECT_EQ(Cell(2, SoundListModel::columnName), "bell");
  EXPECT_EQ(Cell(3, SoundListModel::columnIndex), "3");
  EXPECT_EQ(List()->currentIndex().row(), 1);
  Action("removeToolStripMenuItem")->trigger();
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(1, SoundListModel::columnName), "bell");
}

TEST_F(MainFormEditingTest, PropertiesRefuseWhatTheEngineRefusesAndStayOpen) {
  Focus(2);
  std::vector<QString> reasons;
  std::vector<bool> stillOpen;
  const auto type = [](QDialog& dialog, const char* field, const QString& text) {
    dialog.findChild<QLineEdit*>(QString::fromLatin1(field))->setText(text);
  };
  const auto fill = [&](QDialog& dialog, const char* field, const QString& text) {
    type(dialog, field, text);
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    reasons.push_back(dialog.findChild<QLabel*>(QStringLiteral("reasonLabel"))->text());
    stillOpen.push_back(dialog.result() != QDialog::Accepted);
  };
  desktop.DialogUser = [&](QDialog& dialog) {
    EXPECT_EQ(dialog.windowTitle(), "Properties of sound 2");
    fill(dialog, "nameEdit", QStringLiteral("seventeen-bytes!!"));
    type(dialog, "nameEdit", QStringLiteral("knock"));
    fill(dialog, "loopStartEdit", QStringLiteral("12x"));
    fill(dialog, "loopStartEdit", QStringLiteral("4294967296"));
    fill(dialog, "loopStartEdit", QStringLiteral("7"));
  };
  Action("propertiesToolStripMenuItem")->trigger();
  ASSERT_EQ(reasons.size(), 4u);
  EXPECT_TRUE(reasons[0].contains("17 bytes")) << reasons[0].toStdString();
  EXPECT_EQ(reasons[1], "LoopStart must be a whole number from 0 to 4294967295, not \"12x\"");
  EXPECT_TRUE(reasons[2].startsWith("LoopStart must be")) << "past 32 bits";
  EXPECT_EQ(stillOpen, (std::vector<bool>{true, true, true, false}));
  EXPECT_EQ(Cell(2, SoundListModel::columnName), "knock");
  EXPECT_EQ(Cell(2, SoundListModel::columnLoopStart), "7");
  Action("undoToolStripMenuItem")->trigger();
  EXPECT_EQ(Cell(2, SoundListModel::columnName), "door") << "one edit for both fields";
}

TEST_F(MainFormEditingTest, UnsavedEditsAreAskedAboutOnCloseOpenAndDrop) {
  const fs::path other = WriteBank("b.sdt", MakeBank({{.Name = "x", .Data = Samples(8)}}));
  RemoveFirst();

  desktop.UnsavedAnswers = {UnsavedEdits::Cancel};
  EXPECT_FALSE(form.close());
  Open(other);
  Drop(other, OnRow(0));
  EXPECT_EQ(desktop.UnsavedQuestions, (std::vector<QString>(3, "a.sdt")));
  EXPECT_EQ(desktop.OpenRequests.size(), 1u) << "Cancel comes before the Open dialog";
  desktop.Answers.clear();
  EXPECT_EQ(Rows(), 2);

  desktop.UnsavedAnswers = {UnsavedEdits::Discard};
  Open(other);
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(ReadFile(bank), original) << "not saved";

  Open(bank);
  RemoveFirst();
  desktop.UnsavedAnswers = {UnsavedEdits::Save};
  Drop(other, OnRow(0));
  EXPECT_EQ(BankName(), "b.sdt");
  CSoundEditor saved;
  ASSERT_TRUE(saved.LoadBank(bank));
  EXPECT_EQ(saved.Count(), 2u);

  Open(bank);
  RemoveFirst();
  desktop.UnsavedAnswers = {UnsavedEdits::Discard};
  EXPECT_TRUE(form.close());
  EXPECT_EQ(desktop.UnsavedQuestions.size(), 6u);
}

TEST_F(MainFormEditingTest, AFailedSaveKeepsTheEditsAndSaysWhy) {
  RemoveFirst();
  {
#ifdef _WIN32
    // Another program holds the bank open, so it cannot be replaced.
    std::ifstream held(bank);
#else
    // The bank's folder goes away, so nothing can be written there (root ignores permissions).
    fs::rename(dir.Path(), fs::path(dir.Path()).concat("-moved"));
#endif
    desktop.UnsavedAnswers = {UnsavedEdits::Save};
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(StatusLine().startsWith("cannot")) << StatusLine().toStdString();
    EXPECT_TRUE(StatusLine().contains("a.sdt")) << StatusLine().toStdString();
    EXPECT_EQ(BankName(), "a.sdt *");
    EXPECT_EQ(Rows(), 2);
#ifndef _WIN32
    fs::rename(fs::path(dir.Path()).concat("-moved"), dir.Path());
#endif
  }

  Action("saveToolStripMenuItem")->trigger();
  EXPECT_EQ(StatusLine(), QString::fromStdString("Saved " + PathToUtf8(bank)));
  EXPECT_EQ(BankName(), "a.sdt");
  // Another program changes the file: Save refuses, Save As over it (confirmed) writes it.
  RemoveFirst();
  WriteFile(bank, MakeBank({{.Name = "x", .Data = Samples(8)}}));
  Action("saveToolStripMenuItem")->trigger();
  EXPECT_TRUE(StatusLine().endsWith("(File > Save As... over it does)"));
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(bank)));
  Action("saveAsToolStripMenuItem")->trigger();
  CSoundEditor saved;
  ASSERT_TRUE(saved.LoadBank(bank));
  EXPECT_EQ(saved.Count(), 1u);
}

TEST_F(MainFormEditingTest, TheWaveformFollowsTheFocusAndEditsOrSaysWhyItIsMissing) {
  auto* view = form.findChild<WaveformView*>(QStringLiteral("ctrlWaveform"));
  Focus(1);
  EXPECT_EQ(view->Note(), "");
  const auto before = editor.Waveforms().Peaks(1);
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "new.wav")));
  Action("replaceToolStripMenuItem")->trigger();
  const auto after = editor.Waveforms().Peaks(1);
  EXPECT_NE((*before)->Frames, (*after)->Frames);
  Action("undoToolStripMenuItem")->trigger();
  EXPECT_EQ(*editor.Waveforms().Peaks(1), *before) << "kept while the old samples are";
  view->grab();  // draws without a fault

  Open(WriteBank("odd.sdt", DamagedBank({{.Name = "a", .Data = Samples(4)}})));
  Focus(0);
  EXPECT_TRUE(view->Note().startsWith("sound 0 is damaged")) << view->Note().toStdString();
  Open(WriteBank("empty.sdt", MakeBank({{.Name = "a", .Data = {}}})));
  Focus(0);
  EXPECT_EQ(view->Note(), "Sound 0 is empty");
  view->grab();
}

// The column of the play position's line in a picture of the view, if it shows one.
std::optional<int> LineColumn(const QImage& picture) {
  const int y = picture.height() / 3;
  for (int x = 0; x < picture.width(); ++x)
    if (picture.pixelColor(x, y) == QColor(Qt::red)) return x;
  return std::nullopt;
}

TEST_F(MainFormEditingTest, ALineFollowsThePlayPositionAndGoesWhenTheSoundStops) {
  output.ShutDown();  // audio starts afresh, on the driver that writes to a file
  SetEnvironment("SDL_AUDIODRIVER", "disk");
  SetEnvironment("SDL_DISKAUDIOFILE", PathToUtf8(dir / "out.raw"));
  Open(WriteBank("long.sdt", MakeBank({{.Name = "long", .Data = Samples(22050 * 2 * 2, 4)}})));
  auto* view = form.findChild<WaveformView*>(QStringLiteral("ctrlWaveform"));
  view->resize(600, 150);
  Focus(0);
  Action("ctrlSoundsContextListen")->trigger();
  const auto start = LineColumn(view->grab().toImage());
  QTest::qWait(400);
  const QImage playing = view->grab().toImage();
  // A picture to look at, not to compare: the band, the axis and the line.
  playing.save(QStringLiteral(ORVANE_PICTURES_DIR "/waveform-playing.png"));
  const auto later = LineColumn(playing);
  Action("stopToolStripMenuItem")->trigger();
  const auto stopped = LineColumn(view->grab().toImage());
  output.ShutDown();
  UnsetEnvironment("SDL_AUDIODRIVER");
  UnsetEnvironment("SDL_DISKAUDIOFILE");

  ASSERT_TRUE(start && later);
  EXPECT_GT(*later, *start + 60) << "0.4 s of 2 s across 600 pixels";
  EXPECT_FALSE(stopped);
}

TEST_F(MainFormEditingTest, WithAFilterOnCommandsReachTheSoundTheRowShows) {
  auto* filter = form.findChild<QLineEdit*>(QStringLiteral("ctrlFilter"));
  filter->setText(QStringLiteral("OO"));  // door alone, in any case
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(StatusLine(), "1 of 3 sounds");
  Focus(0);
  Action("ctrlSoundsContextListen")->trigger();  // played, or refused for want of a device
  EXPECT_TRUE(StatusLine().contains(QRegularExpression("sound 2\\b"))) << StatusLine().toStdString();
  Action("copyNameToolStripMenuItem1")->trigger();
  EXPECT_EQ(desktop.Clipboard.back(), "2_door");
  Action("ctrlSoundsContextExport")->trigger();
  EXPECT_TRUE(fs::exists("output/2_door.wav"));
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "new.wav")));
  Action("replaceToolStripMenuItem")->trigger();
  EXPECT_EQ(Cell(0, kDataSize), "400");
  EXPECT_EQ(Rows(), 1) << "the filter stays on through an edit";

  filter->setText(QStringLiteral("1"));  // a number: the Index
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, SoundListModel::columnName), "bell");
  Focus(0);
  Action("removeToolStripMenuItem")->trigger();
  EXPECT_EQ(Rows(), 1) << "sound 1 is door now";
  EXPECT_EQ(Cell(0, SoundListModel::columnName), "door");
  QTest::keyClick(filter, Qt::Key_Escape);
  EXPECT_EQ(Rows(), 2);
}

TEST_F(MainFormEditingTest, ABankDroppedOrNamedOnTheCommandLineOpens) {
  const fs::path other = WriteBank("b.sdt", MakeBank({{.Name = "x", .Data = Samples(8)}}));
  Drop(other, QPoint(5, 5));
  EXPECT_EQ(Rows(), 1);
  EXPECT_EQ(BankName(), "b.sdt");
  form.OpenBankFile(QString::fromStdString(PathToUtf8(bank)));
  EXPECT_EQ(Rows(), 3);
  form.OpenBankFile(QString::fromStdString(PathToUtf8(dir / "missing.sdt")));
  EXPECT_TRUE(StatusLine().contains("missing.sdt")) << StatusLine().toStdString();
  EXPECT_EQ(Rows(), 3);
}

}  // namespace
}  // namespace Orvane::Test
