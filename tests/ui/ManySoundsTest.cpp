#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableWidget>

#include "MessagesPanel.h"
#include "PathUtf8.h"
#include "SoundListModel.h"
#include "UiTestSupport.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

constexpr int kName = SoundListModel::columnName;

// Four sounds whose names and lengths sort in different orders.
class ManySoundsTest : public MainWindowTest {
 protected:
  void SetUp() override {
    original = MakeBank({{.Name = "delta", .Data = Samples(400, 1)},
                         {.Name = "alpha", .Data = Samples(100, 2)},
                         {.Name = "Charlie", .Data = Samples(800, 3)},
                         {.Name = "bravo", .Data = Samples(200, 4)}});
    bank = WriteBank("a.sdt", original);
    Open(bank);
  }
  void Select(std::initializer_list<int> rows) {
    List()->clearSelection();
    for (int row : rows)
      List()->selectionModel()->select(List()->model()->index(row, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  QStringList Names() {
    QStringList names;
    for (int row = 0; row < Rows(); ++row) names << Cell(row, kName);
    return names;
  }

  Bytes original;
  fs::path bank;
};

TEST_F(ManySoundsTest, AFolderReplaceIsOneEditWhoseUndoGivesTheLoadedBytesBack) {
  fs::create_directory(dir / "edits");
  WriteFile(dir / "edits" / "0_delta.wav", MakeWave(Samples(50, 7)));
  WriteFile(dir / "edits" / "3_bravo.wav", MakeWave(Bytes(60, 128), 11025, 8));
  Focus(2);
  Action("ctrlSoundsContextExport")->trigger();
  fs::copy_file(fs::path("output") / "2_Charlie.wav", dir / "edits" / "2_same.wav");
  WriteFile(dir / "edits" / "notes.txt", Bytes{'h', 'i'});

  std::vector<QString> conversions;
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "edits")));
  desktop.DialogUser = [&](QDialog& dialog) {
    auto* rows = dialog.findChild<QTableWidget*>(QStringLiteral("replacementsList"));
    for (int row = 0; row < rows->rowCount(); ++row) conversions.push_back(rows->item(row, 6)->text());
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
  };
  Action("replaceFromFolderToolStripMenuItem")->trigger();
  EXPECT_EQ(conversions, (std::vector<QString>{"copied as it is", "unchanged",
                                               "11025 Hz 8-bit mono -> 22050 Hz 16-bit mono"}));
  EXPECT_EQ(Cell(0, SoundListModel::columnDataSize), "50");
  EXPECT_EQ(Cell(3, SoundListModel::columnDataSize), "240");
  EXPECT_EQ(StatusLine(), "Replaced 2 sounds, 1 unchanged");
  EXPECT_EQ(Action("undoToolStripMenuItem")->text(), "Undo Replace 2 sounds");

  Action("undoToolStripMenuItem")->trigger();
  EXPECT_FALSE(Action("undoToolStripMenuItem")->isEnabled()) << "one step took it all back";
  Action("saveToolStripMenuItem")->trigger();
  EXPECT_EQ(ReadFile(bank), original);
}

TEST_F(ManySoundsTest, SelectedRowsAreRemovedAsOneEditAndDragOutAsExportWritesThem) {
  Select({1, 3});
  Action("copyNameToolStripMenuItem1")->trigger();
  EXPECT_EQ(desktop.Clipboard.back(), "1_alpha\n3_bravo");
  const QModelIndexList selected = List()->selectionModel()->selectedIndexes();
  std::unique_ptr<QMimeData> dragged(List()->model()->mimeData(selected));
  ASSERT_NE(dragged, nullptr);
  ASSERT_EQ(dragged->urls().size(), 2);
  Action("ctrlSoundsContextExport")->trigger();
  for (const QUrl& url : dragged->urls()) {
    const fs::path file = url.toLocalFile().toStdString();
    EXPECT_EQ(ReadFile(file), ReadFile(fs::path("output") / file.filename())) << file;
  }

  Action("removeToolStripMenuItem")->trigger();
  EXPECT_EQ(Names(), (QStringList{"delta", "Charlie"}));
  EXPECT_EQ(Action("undoToolStripMenuItem")->text(), "Undo Remove 2 sounds");
}

TEST_F(ManySoundsTest, SortAndFilterTogetherSendEveryCommandToTheSoundItsRowShows) {
  QHeaderView* header = List()->horizontalHeader();
  header->sectionClicked(kName);
  EXPECT_EQ(Names(), (QStringList{"alpha", "bravo", "Charlie", "delta"})) << "in any case";
  EXPECT_EQ(Cell(0, SoundListModel::columnIndex), "1") << "each row keeps its sound's index";
  header->sectionClicked(kName);
  EXPECT_EQ(Names(), (QStringList{"delta", "Charlie", "bravo", "alpha"}));
  header->sectionClicked(kName);
  EXPECT_EQ(Names(), (QStringList{"delta", "alpha", "Charlie", "bravo"})) << "the bank's order";

  header->sectionClicked(SoundListModel::columnLength);
  EXPECT_EQ(Names(), (QStringList{"alpha", "bravo", "delta", "Charlie"}));
  form.findChild<QLineEdit*>(QStringLiteral("ctrlFilter"))->setText(QStringLiteral("a"));
  EXPECT_EQ(Names(), (QStringList{"alpha", "bravo", "delta", "Charlie"}));
  form.findChild<QLineEdit*>(QStringLiteral("ctrlFilter"))->setText(QStringLiteral("l"));
  ASSERT_EQ(Names(), (QStringList{"alpha", "delta", "Charlie"}));
  Focus(1);
  Action("copyNameToolStripMenuItem1")->trigger();
  EXPECT_EQ(desktop.Clipboard.back(), "0_delta");
  WriteFile(dir / "long.wav", MakeWave(Samples(2000, 9)));
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "long.wav")));
  Action("replaceToolStripMenuItem")->trigger();
  EXPECT_EQ(StatusLine(), "Replaced sound 0 (delta) with long.wav");
  EXPECT_EQ(Names(), (QStringList{"alpha", "Charlie", "delta"})) << "an edit keeps the sort";
  EXPECT_EQ(List()->currentIndex().row(), 2) << "and the focus on the sound it edited";
}

TEST_F(ManySoundsTest, AWarningOpensTheMessagesAndTheStatusLineSendsThere) {
  auto* messages = form.findChild<MessagesPanel*>(QStringLiteral("ctrlMessages"));
  EXPECT_FALSE(messages->isVisible());
  Focus(0);
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "missing.wav")));
  Action("replaceToolStripMenuItem")->trigger();
  EXPECT_TRUE(messages->isVisible());
  ASSERT_EQ(messages->Count(), 1);
  EXPECT_EQ(messages->Text(0).toStdString(), StatusLine().toStdString());
}

}  // namespace
}  // namespace Orvane::Test
