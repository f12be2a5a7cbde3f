#include "ui/result_table_model.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <QItemSelectionModel>

#include "compare/results/row_order.h"

#include "ui_fakes.h"

namespace quintrel {
namespace {

using testing::ColumnTexts;
using testing::Texts;

std::vector<ResultRow> SampleRows() {
  return {
      {3, "b.c", {1, 2, 10}, {}, {}},      {1, "gone.h", {0, 12, 0}, {}, {}},
      {2, "New.cpp", {9, 0, 9}, {}, {}},   {0, "odd.c", {0, 0, 0}, {}, {}},
      {3, "a_b.c", {100, 1, 200}, {}, {}},
  };
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
  EXPECT_EQ(ColumnTexts(model, kColumnMarker), Texts({"", "-", "+", "?", ""}));
  EXPECT_EQ(ColumnTexts(model, kColumnDeleted), Texts({"2", "12", "0", "0", "1"}));
  EXPECT_FALSE(model.data(model.index(5, 0), Qt::DisplayRole).isValid());
}

// The list sorts with keys made once per row; the order of markers and names must be
// CompareRows's, for names
// that differ in case, marks, half-width katakana, characters outside code page 932 and
// bytes that are not UTF-8, and for names equal but for case (ordered by their bytes).
TEST(ResultTableModelTest, SortsTreeNamesInTheOrderOfCompareRows) {
  const std::vector<std::string> names = {
      "a/b.c",   "A/b.c", "a_b/c.c",        "a/B.c",      "ab/c.c", "a/b/c.c", "Z.c",   "z.c",
      "ｻﾌﾞ/x.c", "ｻ/x.c", "\xE2\x82\xAC.c", "\xFF\xFE.c", "1.c",    "[x].c",   "a b.c", "sub/ｱ.h",
      "Sub/ｱ.h", "~.c",   "a/b.cpp",        "",           "a"};
  std::vector<ResultRow> rows;
  for (std::size_t i = 0; i < names.size(); ++i) {
    rows.push_back({static_cast<PresenceFlags>(i % 4), names[i], {}, {}, {}});
  }
  for (int column : {kColumnMarker, kColumnName}) {
    for (bool ascending : {false, true}) {
      std::vector<ResultRow> expected = rows;
      std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
        const int r = CompareRows(a, b, column);
        return ascending ? r < 0 : r > 0;
      });
      ResultTableModel model;
      model.SetRows(rows);
      model.SortRows(column, ascending);
      ASSERT_EQ(model.Rows().size(), expected.size());
      for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(model.Rows()[i].name, expected[i].name)
            << "column " << column << (ascending ? " ascending" : " descending") << ", row " << i;
      }
    }
  }
}

// Numbers sort by value; the selection follows its rows.
TEST(ResultTableModelTest, SortsNumbersByValueAndTheSelectionFollows) {
  ResultTableModel model;
  model.SetRows(SampleRows());
  QItemSelectionModel selection(&model);
  selection.select(model.index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  selection.select(model.index(4, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
  model.SortRows(kColumnAdded, false);
  EXPECT_EQ(ColumnTexts(model, kColumnAdded), Texts({"100", "9", "1", "0", "0"}));
  model.SortRows(kColumnLoc, false);
  EXPECT_EQ(ColumnTexts(model, kColumnLoc), Texts({"200", "10", "9", "0", "0"}));
  QStringList selectedNames;
  for (const QModelIndex& index : selection.selectedRows()) {
    selectedNames.append(
        model.data(model.index(index.row(), kColumnName), Qt::DisplayRole).toString());
  }
  selectedNames.sort();
  EXPECT_EQ(selectedNames, QStringList({QStringLiteral("a_b.c"), QStringLiteral("gone.h")}));
}

// However often the list is sorted, the rows come back in the order they were given, and a
// new set of rows starts that order afresh.
TEST(ResultTableModelTest, RowsComeBackInTheOrderGiven) {
  const auto names = [](const std::vector<ResultRow>& rows) {
    QStringList texts;
    for (const ResultRow& row : rows) texts.append(QString::fromStdString(row.name));
    return texts;
  };
  ResultTableModel model;
  model.SetRows(SampleRows());
  const QStringList given = names(SampleRows());
  EXPECT_EQ(names(model.RowsInGivenOrder()), given);
  model.SortRows(kColumnName, true);
  ASSERT_NE(names(model.Rows()), given);
  EXPECT_EQ(names(model.RowsInGivenOrder()), given);
  model.SortRows(kColumnLoc, false);
  model.SortRows(kColumnMarker, true);
  EXPECT_EQ(names(model.RowsInGivenOrder()), given);
  EXPECT_EQ(ColumnTexts(model, kColumnMarker), Texts({"", "", "+", "-", "?"}));

  std::vector<ResultRow> fewer = SampleRows();
  fewer.erase(fewer.begin());
  std::reverse(fewer.begin(), fewer.end());
  model.SetRows(fewer);
  EXPECT_EQ(names(model.RowsInGivenOrder()), names(fewer));
  model.SortRows(kColumnAdded, true);
  EXPECT_EQ(names(model.RowsInGivenOrder()), names(fewer));
}

}  // namespace
}  // namespace quintrel
