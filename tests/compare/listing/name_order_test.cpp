#include "compare/listing/name_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "compare/text/code_page.h"

namespace quintrel {
namespace {

const std::string kEmoji = "\xF0\x9F\x98\x80";  // U+1F600, no code page 932 form

TEST(CompareCatalogueNames, AgreesWithTheCodePageComparison) {
  const std::vector<std::string> names = {"a_b.c", "aBb.c", "alpha.c", "Zeta.c", "zeta.h",
                                          "ｱ.c",   "ア.c",  "亜.c",    "Ｍ.c",   "ｍx.c",
                                          "~.c",   "[.c",   "ab",      "abc",    "AB.c"};
  for (const std::string& a : names) {
    for (const std::string& b : names) {
      const int byCodePage = CompareCp932NoCase(*Utf8ToCp932(a), *Utf8ToCp932(b));
      if (byCodePage != 0) {
        EXPECT_EQ(CompareCatalogueNames(a, b), byCodePage) << a << " " << b;
      }
    }
  }
}

TEST(CompareCatalogueNames, BreaksTiesByBytesSoDistinctNamesNeverMerge) {
  EXPECT_EQ(CompareCatalogueNames("ABC.c", "abc.c"), -1);
  EXPECT_EQ(CompareCatalogueNames("abc.c", "ABC.c"), 1);
  EXPECT_EQ(CompareCatalogueNames("Ａ.c", "ａ.c"), -1);
  EXPECT_EQ(CompareCatalogueNames("\\.c", "¥.c"), -1);  // same code page byte 0x5C
  EXPECT_EQ(CompareCatalogueNames("\xFF.c", "\xFE.c"), 1);
  EXPECT_EQ(CompareCatalogueNames("abc.c", "abc.c"), 0);
}

TEST(CompareCatalogueNames, PutsNamesWithoutCodePageFormLast) {
  std::vector<std::string> names = {"\xFF.c", kEmoji + ".c", "亜.c",          "ｱ.c",
                                    "Zeta.c", "alpha.c",     "\xE9\xBE\x9C.c" /* 龜 */};
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    return CompareCatalogueNames(a, b) < 0;
  });
  EXPECT_EQ(names, (std::vector<std::string>{"alpha.c", "Zeta.c", "ｱ.c", "亜.c", "\xE9\xBE\x9C.c",
                                             kEmoji + ".c", "\xFF.c"}));
}

TEST(EqualIgnoringCase, FoldsOnlyAsciiAndFullWidthLatinLetters) {
  EXPECT_TRUE(EqualIgnoringCase("Main.c", "MAIN.c"));
  EXPECT_TRUE(EqualIgnoringCase("ＡＢＣ.c", "ａｂｃ.c"));
  EXPECT_TRUE(EqualIgnoringCase("Ｚ", "ｚ"));
  EXPECT_FALSE(EqualIgnoringCase("a.c", "a.cpp"));
  EXPECT_FALSE(EqualIgnoringCase("Ä.c", "ä.c"));
  EXPECT_FALSE(EqualIgnoringCase("ア.c", "ｱ.c"));
  EXPECT_FALSE(EqualIgnoringCase("A.c", "Ａ.c"));  // half and full width stay apart
  EXPECT_FALSE(EqualIgnoringCase("［", "｛"));     // U+FF3B is not a letter
  EXPECT_TRUE(
      EqualIgnoringCase("\xFF"
                        "A",
                        "\xFF"
                        "a"));
  EXPECT_FALSE(EqualIgnoringCase("\xFF", "\xFE"));
}

TEST(FoldLetterCase, LowersWholeCharactersOnly) {
  EXPECT_EQ(FoldLetterCase("XT_Dscp.C"), "xt_dscp.c");
  EXPECT_EQ(FoldLetterCase("ＡＺ"), "ａｚ");
  EXPECT_EQ(FoldLetterCase("\xEF\xBC"), "\xEF\xBC");  // truncated, left alone
}

}  // namespace
}  // namespace quintrel
