#include <gtest/gtest.h>
#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include "SoundListModel.h"
#include "TestFiles.h"

namespace Orvane::Test {
namespace {

TEST(SoundListModelTest, OffsetIsUpperCaseHexWithAtLeastTwoDigits) {
  const std::pair<std::uint32_t, const char*> cases[] = {
      {0, "00"}, {4, "04"}, {500, "1F4"}, {0xABCDEF01u, "ABCDEF01"}};
  for (const auto& [offset, text] : cases) {
    BankEntry element;
    element.Offset = offset;
    EXPECT_EQ(SoundListModel::CellText(0, element, SoundListModel::columnOffset), text);
  }
}

TEST(SoundListModelTest, NameStopsAtItsTerminatorOrAfterSixteenBytes) {
  BankEntry element;
  element.Entry.SetName("abc");
  EXPECT_EQ(SoundListModel::CellText(0, element, SoundListModel::columnName), "abc");
  element.Entry.SetName("0123456789abcdefXYZ");
  EXPECT_EQ(SoundListModel::CellText(0, element, SoundListModel::columnName), "0123456789abcdef");
  element.Entry.SetName("\x80\x9F\xFF");  // euro sign, Y with diaeresis, y with diaeresis
  EXPECT_EQ(SoundListModel::CellText(0, element, SoundListModel::columnName), "€Ÿÿ");
}

TEST(SoundListModelTest, PassesQtModelChecksAndFollowsTheEngineOnlyWhenRefilled) {
  CSoundEditor editor;
  SoundListModel model(editor);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  TempDir dir;
  WriteFile(dir / "a.sdt",
            MakeBank({{.Name = "a", .Data = Samples(3)}, {.Name = "b", .Data = Samples(5)}}));
  ASSERT_TRUE(editor.LoadBank(dir / "a.sdt"));
  EXPECT_EQ(model.rowCount(), 0);
  model.Refill();
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.index(1, SoundListModel::columnDataSize).data().toString(), "5");

  // Rows left on show after the engine dropped its bank read as empty, never past its entries.
  editor.Clear();
  EXPECT_EQ(model.index(1, SoundListModel::columnName).data(), QVariant());
  model.Refill();
  EXPECT_EQ(model.rowCount(), 0);
}

TEST(SoundListModelTest, FollowsEditsRowByRowAndMovesLaterIndexesAndOffsets) {
  CSoundEditor editor;
  SoundListModel model(editor);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  TempDir dir;
  std::vector<SoundSpec> sounds;
  for (const char* name : {"a", "b", "c", "d", "e"})
    sounds.push_back({.Name = name, .Data = Samples(4)});
  WriteFile(dir / "a.sdt", MakeBank(sounds));
  ASSERT_TRUE(editor.LoadBank(dir / "a.sdt"));
  model.Refill();
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

  // Two runs: 0 and 1, then 3, by then at row 1.
  auto outcome = editor.Remove({0, 1, 3});
  ASSERT_TRUE(outcome);
  model.Follow(outcome->Rows);
  ASSERT_EQ(removed.size(), 2);
  EXPECT_EQ(removed[0][2].toInt(), 1);
  EXPECT_EQ(removed[1][1].toInt(), 1);
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.index(1, SoundListModel::columnName).data().toString(), "e");

  model.Follow(*editor.Undo());
  EXPECT_EQ(inserted.size(), 2) << "in runs, as removed";
  ASSERT_EQ(model.rowCount(), 5);
  for (int row = 0; row < 5; ++row)
    EXPECT_EQ(model.index(row, SoundListModel::columnName).data().toString(),
              QString(QChar(u'a' + row)));
  EXPECT_EQ(reset.size(), 0);
}

}  // namespace
}  // namespace Orvane::Test
