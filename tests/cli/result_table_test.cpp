#include "cli/result_table.h"

#include <gtest/gtest.h>

namespace quintrel {
namespace {

TEST(ResultTableTest, AlignsColumnsByContent) {
  std::string table = FormatResultTable({
      {"", "name", "add", "del", "LOC"},
      {"", "main.c", "3", "1", "120"},
      {"-", "a.h", "0", "12", "0"},
      {"Total", "1 (+0/-1)", "3", "13", "120"},
  });
  EXPECT_EQ(table,
            "       name       add  del  LOC\n"
            "       main.c       3    1  120\n"
            "-      a.h          0   12    0\n"
            "Total  1 (+0/-1)    3   13  120\n");
}

TEST(ResultTableTest, MeasuresWideCharactersInCells) {
  std::string table = FormatResultTable({
      ResultTableHeading(),
      {"+", "設定.h", "10", "0", "10"},
      {"", "a.c", "1", "22", "3"},
  });
  // "ﾌｧｲﾙ名" and "設定.h" are both six cells wide; "追加" four.
  EXPECT_EQ(table,
            "   ﾌｧｲﾙ名  追加  削除  LOC\n"
            "+  設定.h    10     0   10\n"
            "   a.c        1    22    3\n");
}

TEST(ResultTableTest, NoLineEndsInBlanksAndNoRowsGiveNothing) {
  EXPECT_EQ(FormatResultTable({{"", "", "", "", ""}, {"x", "", "", "", ""}}), "\nx\n");
  EXPECT_EQ(FormatResultTable({}), "");
}

}  // namespace
}  // namespace quintrel
