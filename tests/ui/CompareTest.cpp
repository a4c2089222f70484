#include <gtest/gtest.h>

#include <QCheckBox>

#include "BankDiff.h"
#include "PathUtf8.h"
#include "SoundListModel.h"
#include "UiTestSupport.h"

namespace Orvane::Test {
namespace {

namespace fs = std::filesystem;

constexpr int kChange = SoundListModel::columnChange;

// A mod of a bank: sound 1 has new samples, sound 2 a new name, and a sound 3 was added.
class CompareTest : public MainWindowTest {
 protected:
  void SetUp() override {
    original = WriteBank("original.sdt", MakeBank({{.Name = "a", .Data = Samples(40, 1)},
                                                   {.Name = "b", .Data = Samples(60, 2), .LoopEnd = 9},
                                                   {.Name = "c", .Data = Samples(20, 3)}}));
    mod = WriteBank("mod.sdt", MakeBank({{.Name = "a", .Data = Samples(40, 1)},
                                         {.Name = "b", .Data = Samples(80, 7)},
                                         {.Name = "see", .Data = Samples(20, 3)},
                                         {.Name = "d", .Data = Samples(10, 4)}}));
    Open(mod);
    desktop.Answers.push_back(QString::fromStdString(PathToUtf8(original)));
    Action("compareToolStripMenuItem")->trigger();
  }
  QStringList Changes() {
    QStringList changes;
    for (int row = 0; row < Rows(); ++row) changes << Cell(row, kChange);
    return changes;
  }

  fs::path original, mod;
};

TEST_F(CompareTest, TheChangeColumnFollowsATakeAnUndoAndAnInsertAndTheSaveHoldsTheTakenSound) {
  EXPECT_EQ(StatusLine(), "Compared with original.sdt: 3 sounds differ");
  EXPECT_EQ(Changes(), (QStringList{"", "changed", "changed", "added"}));
  EXPECT_EQ(List()->model()->index(1, kChange).data(Qt::ToolTipRole).toString(),
            "DataSize;LoopEnd;Samples");
  EXPECT_EQ(List()->model()->index(2, kChange).data(Qt::ToolTipRole).toString(), "Name");
  form.findChild<QCheckBox*>(QStringLiteral("ctrlChangedOnly"))->setChecked(true);
  EXPECT_EQ(Rows(), 3);
  form.findChild<QCheckBox*>(QStringLiteral("ctrlChangedOnly"))->setChecked(false);

  Focus(1);
  Action("takeToolStripMenuItem")->trigger();
  EXPECT_EQ(Changes(), (QStringList{"", "", "changed", "added"}));
  Action("undoToolStripMenuItem")->trigger();
  EXPECT_EQ(Changes(), (QStringList{"", "changed", "changed", "added"}));
  Action("redoToolStripMenuItem")->trigger();
  EXPECT_EQ(Changes(), (QStringList{"", "", "changed", "added"}));

  // Indexes move under an insert: every later sound meets another of the compared bank.
  WriteFile(dir / "new.wav", MakeWave(Samples(40, 1)));
  Focus(0);
  desktop.Answers.push_back(QString::fromStdString(PathToUtf8(dir / "new.wav")));
  Action("insertToolStripMenuItem")->trigger();
  EXPECT_EQ(Changes(), (QStringList{"changed", "changed", "changed", "added", "added"}));
  Action("undoToolStripMenuItem")->trigger();

  Action("saveToolStripMenuItem")->trigger();
  CSoundEditor saved, before;
  ASSERT_TRUE(saved.LoadBank(mod));
  ASSERT_TRUE(before.LoadBank(original));
  auto diffs = CompareBanks(*EditedBank(before), *EditedBank(saved));
  ASSERT_TRUE(diffs);
  EXPECT_EQ(*diffs, (std::vector<SoundDiff>{{2, SoundChange::Changed, static_cast<DiffFields>(DiffField::Name)},
                                            {3, SoundChange::Added}}));

  Action("stopComparingToolStripMenuItem")->trigger();
  EXPECT_EQ(Changes(), (QStringList{"", "", "", ""}));
  EXPECT_FALSE(Action("takeToolStripMenuItem")->isEnabled());
}

// Opening another bank ends the comparison; a Changed only box left ticked would hide every row.
TEST_F(CompareTest, OpeningAnotherBankShowsAllItsSoundsAfterChangedOnly) {
  auto* changedOnly = form.findChild<QCheckBox*>(QStringLiteral("ctrlChangedOnly"));
  changedOnly->setChecked(true);
  Open(original);
  EXPECT_FALSE(changedOnly->isChecked());
  EXPECT_EQ(Rows(), 3);
}

}  // namespace
}  // namespace Orvane::Test
