#include <gtest/gtest.h>
#include <QAbstractItemModelTester>

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

}  // namespace
}  // namespace Orvane::Test
