#include "engine/statement_units.h"

#include <gtest/gtest.h>

#include <numeric>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "../../fuzz/checks/reference_statement_counter.h"
#include "engine/statement_counter.h"
#include "engine/text_builder.h"
#include "engine/unit_pairing_reference.h"

namespace quintrel {
namespace {

// The units of `bytes` as printable text: tokens separated by '|', then the marks.
std::vector<std::string> Units(std::string_view bytes) {
  UnitList list;
  ReadStatementUnits(testing::MakeText(bytes), list);
  std::vector<std::string> units;
  for (const testing::ReferenceUnit& unit : testing::ReferenceUnitsOf(list)) {
    std::string shown = unit.tokens;
    shown.pop_back();
    for (char& c : shown) c = c == '\n' ? '|' : c;
    units.push_back(shown + " [" + std::to_string(unit.marks) + "]");
  }
  return units;
}

using UnitTexts = std::vector<std::string>;

struct UnitCase {
  const char* name;
  std::string bytes;
  UnitTexts units;
};

const UnitCase kUnitCases[] = {
    {"ScopeEndsNoUnit", "a::b; c :: d;", {"a|::|b|; [1]", "c|::|d|; [1]"}},
    {"ThreeColonsAreScopeAndColon", "c:::d;", {"c|::|: [1]", "d|; [1]"}},
    {"ForLoop", "for (i = 0; i < n; i++) {", {"for|(|i|=|0|; [1]", "i|<|n|; [1]", "i|++|)|{ [1]"}},
    {"LabelAndConditional",
     "public: x = y ? a : b;",
     {"public|: [1]", "x|=|y|?|a|: [1]", "b|; [1]"}},
    {"ClosingBraceEndsAUnitOfNoMark", "} else { a; } b;", {"else|{ [1]", "a|; [1]", "b|; [1]"}},
    {"DirectiveIsOneUnitAcrossSplices",
     "#define X(a) a ## b; \\\n  c:\nint y;",
     {"#|define|X|(|a|)|a|##|b|;|c|: [3]", "int|y|; [1]"}},
    {"DirectiveInterruptsAStatement",
     "int x =\n#ifdef A\n1\n#else\n2\n#endif\n;",
     {"#|ifdef|A [1]", "#|else [1]", "#|endif [1]", "int|x|=|1|2|; [1]"}},
    {"HashInsideALineIsNoDirective", "a # b;", {"a|#|b|; [2]"}},
    {"HashAfterACommentBeginsALine", "/* c\n */ #x\ny;", {"#|x [1]", "y|; [1]"}},
    {"PunctuatorsByLongestMatch", "a+++b;x>>=c<=>d;", {"a|++|+|b|; [1]", "x|>|>=|c|<=>|d|; [1]"}},
    {"NumbersAreOneToken", "x = 1.5e+3 + .5 - 0x1F;", {"x|=|1.5e+3|+|.5|-|0x1F|; [1]"}},
    {"LiteralsWholeWithTheirPrefixes",
     "s = L\"a;b\" \"c\" u8'{' \"%\"PRIx64\"z\" N\"y\" 1'000'0;",
     {"s|=|L\"a;b\"|\"c\"|u8'{'|\"%\"|PRIx64|\"z\"|N|\"y\"|1|'000'|0|; [1]"}},
    {"AdjacentStringsJoined",
     "s = \"ab\" \"c\"\n  \"d\" L\"e\" L\"f\";",
     {"s|=|\"abcd\"|L\"ef\"|; [1]"}},
    {"PrefixEndsARunOfSeveralTokens",
     "f(L\"a\" L\"b\",u8\"c\"x);",
     {"f|(|L\"ab\"|,|u8\"c\"|x|)|; [1]"}},
    {"EscapeThatCouldRunOnStaysApart",
     "s = \"\\x1\" \"2\" \"\\12\" \"3\" \"\\123\" \"4\" \"\\x1\" \"g\";",
     {"s|=|\"\\x1\"\"2\\12\"\"3\\1234\\x1g\"|; [1]"}},
    {"EscapedQuoteOpensNothing", "\\\"; x;", {"\\\"|; [1]", "x|; [1]"}},
    {"SpliceJoinsAWord", "ab\\\ncd;", {"abcd|; [1]"}},
    {"SpliceInsideAString", "s = \"a\\\nb\";", {"s|=|\"ab\"|; [1]"}},
    {"MarkAfterEndMarkerCancelled", "a:\xFF b; #\xFF", {"a|:\xFF|b|; [1]"}},
    {"EndMarkerEndsTheCount", "a; \xFF b;", {"a|; [1]"}},
    {"ColonAtTheEndIsNoMark", "#define X :", {std::string("#|define|X|:\0 [1]", 17)}},
    {"UnterminatedStringEndsAtTheLine", "#define S \"a;\nx;", {"#|define|S|\"a; [1]", "x|; [1]"}},
};

TEST(ReadStatementUnitsTest, CutsUnitsAndTokens) {
  for (const UnitCase& c : kUnitCases) EXPECT_EQ(Units(c.bytes), c.units) << c.name;
  EXPECT_TRUE(Units("").empty());
}

// Pairs of texts whose units are the same, or differ, token for token.
struct SameCase {
  const char* name;
  std::string a;
  std::string b;
  bool same;
};

const SameCase kSameCases[] = {
    {"BlanksBetweenTokens", "a+b;", "a + b ;", true},
    {"MinusMinusIsNotDecrement", "- -x;", "--x;", false},
    {"ScopeIsNotTwoColons", "a::b;", "a: :b;", false},
    {"LineEndsAndComments", "if (a) { b; } // x", "if (a)\n{ /* y\n */\n\tb;\n}", true},
    {"CrIsABlank", "a;\r\nb;", "a;\nb;", true},
    {"TemplateClosers", "vector<vector<int> > v;", "vector<vector<int>> v;", true},
    {"DirectiveReindented", "#define X 1\n", "  #  define X \\\n   1\n", true},
    {"DirectiveLineBroken", "#define X 1\n", "#define X\n1\n", false},
    {"PrefixIsPartOfTheLiteral", "s = L\"a\";", "s = L \"a\";", false},
    {"NameBeforeAStringIsNoPrefix", "s = \"%\"PRIx64\"\\n\";", "s = \"%\" PRIx64 \"\\n\";", true},
    {"SplitStringJoined", "s = \"ab!c\";", "s = \"ab\"\n    \"!c\";", true},
    {"SplitWideStringJoined", "s = L\"ab\";", "s = L\"a\" L\"b\";", true},
    {"DifferentPrefixesNotJoined", "s = L\"ab\";", "s = L\"a\" \"b\";", false},
    {"HexEscapeCutIsAChange", "s = \"\\x12\";", "s = \"\\x1\" \"2\";", false},
    {"OctalEscapeCutAfterThreeDigits", "s = \"\\1012\";", "s = \"\\101\" \"2\";", true},
    {"UniversalNameCutAfterFourDigits", "s = \"\\u00e9a\";", "s = \"\\u00e9\" \"a\";", true},
    {"LiteralBytesExact", "s = \"a b\";", "s = \"a  b\";", false},
    {"CommentMarkIsNoMark", "a; // b;", "a;", true},
};

TEST(ReadStatementUnitsTest, LayoutIsNotContent) {
  for (const SameCase& c : kSameCases) {
    EXPECT_EQ(Units(c.a) == Units(c.b), c.same) << c.name << "\n"
                                                << ::testing::PrintToString(Units(c.a)) << "\n"
                                                << ::testing::PrintToString(Units(c.b));
  }
}

// The marks credited to units are exactly the marks the counter counts, and units of
// equal tokens hold equal marks, on texts dense in the bytes the counter acts on.
TEST(ReadStatementUnitsTest, UnitsHoldExactlyTheCountersMarks) {
  static constexpr char kDense[] = ";{}#:\"'/\\*\n\xFF ab()<-.=L0x";
  std::mt19937 random(7);
  for (int round = 0; round < 20000; ++round) {
    std::string bytes;
    if (round % 2 == 0) {
      for (unsigned n = random() % 80; n > 0; --n) bytes += kDense[random() % (sizeof kDense - 1)];
    } else {
      bytes = testing::RenderCode(testing::RandomCodeTokens(random, random() % 60), random);
    }
    SourceText text = testing::MakeText(bytes);
    UnitList list;
    ReadStatementUnits(text, list);
    const std::vector<std::int64_t> perLine =
        fuzz::ReferenceStatementCounter(text.bytes).MarksPerLine();
    const std::int64_t expected = std::accumulate(perLine.begin(), perLine.end(), std::int64_t{0});
    std::int64_t credited = 0;
    for (const StatementUnit& unit : list.units) credited += unit.marks;
    EXPECT_EQ(credited, expected) << ::testing::PrintToString(bytes);
    EXPECT_EQ(list.marks, expected) << ::testing::PrintToString(bytes);
    text.lines.clear();
    EXPECT_EQ(list.marks, CountStatements(text).unmatched);
    const auto units = testing::ReferenceUnitsOf(list);
    EXPECT_TRUE(testing::MarksFollowTokens(units, units)) << ::testing::PrintToString(bytes);
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace quintrel
