#include "ui/result_table_model.h"

#include <gtest/gtest.h>

#include <QItemSelectionModel>

#include "compare/row_order.h"

#include "ui_fakes.h"

namespace quintrel {
namespace {

using testing::Texts;

std::vector<ResultRow> SampleRows() {
  return {
      {3, "b.c", {1, 2, 10}, {}, {}},      {1, "gone.h", {0, 12, 0}, {}, {}},
      {2, "New.cpp", {9, 0, 9}, {}, {}},   {0, "odd.c", {0, 0, 0}, {}, {}},
      {3, "a_b.c", {100, 1, 200}, {}, {}},
  };
}

QStringList Column(const ResultTableModel& model, int column) {
  QStringList texts;
  for (int row = 0; row < model.rowCount(); ++row) {
    texts.append(model.data(model.index(row, column), Qt::DisplayRole).toString());
  }
  return texts;
}

TEST(ResultTableModelTest, ShowsFiveColumnsWithHeadingsAndAlignment) {
  ResultTableModel model;
  model.SetRows(SampleRows());
  ASSERT_EQ(model.columnCount(), 5);
  const QStringList headings = Texts({"", "ﾌｧｲﾙ名", "追加", "削除", "LOC"});
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), headings[c]);
    const auto alignment =
        model.data(model.index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>();
    EXPECT_EQ(alignment & Qt::AlignHorizontal_Mask, c >= 2 ? Qt::AlignRight : Qt::AlignLeft) << c;
  }
  EXPECT_EQ(Column(model, kColumnMarker), Texts({"", "-", "+", "?", ""}));
  EXPECT_EQ(Column(model, kColumnDeleted), Texts({"2", "12", "0", "0", "1"}));
  EXPECT_FALSE(model.data(model.index(5, 0), Qt::DisplayRole).isValid());
}

TEST(ResultTableModelTest, SortsMarkersNamesWithoutCaseAndNumbersByValue) {
  ResultTableModel model;
  model.SetRows(SampleRows());
  model.SortRows(kColumnMarker, false);
  EXPECT_EQ(Column(model, kColumnMarker), Texts({"?", "-", "+", "", ""}));
  model.SortRows(kColumnMarker, true);
  EXPECT_EQ(Column(model, kColumnMarker), Texts({"", "", "+", "-", "?"}));
  model.SortRows(kColumnName, true);
  EXPECT_EQ(Column(model, kColumnName), Texts({"a_b.c", "b.c", "gone.h", "New.cpp", "odd.c"}));
  model.SortRows(kColumnAdded, false);
  EXPECT_EQ(Column(model, kColumnAdded), Texts({"100", "9", "1", "0", "0"}));
}

TEST(ResultTableModelTest, SelectionFollowsItsRowsThroughASort) {
  ResultTableModel model;
  model.SetRows(SampleRows());
  QItemSelectionModel selection(&model);
  selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  selection.select(model.index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  model.SortRows(kColumnLoc, false);
  QStringList selectedNames;
  for (const QModelIndex& index : selection.selectedRows()) {
    selectedNames.append(
        model.data(model.index(index.row(), kColumnName), Qt::DisplayRole).toString());
  }
  selectedNames.sort();
  EXPECT_EQ(selectedNames, QStringList({QStringLiteral("a_b.c"), QStringLiteral("gone.h")}));
}

}  // namespace
}  // namespace quintrel
