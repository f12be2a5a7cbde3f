#include "engine/statement_counter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "engine/text_builder.h"

namespace quintrel {
namespace {

struct CounterCase {
  const char* name;
  std::string bytes;
  // Line flags; when absent, every line of the text is flagged 0.
  std::optional<LineTable> flags;
  std::int32_t matched;
  std::int32_t unmatched;
};

using Flags = LineTable;

const CounterCase kCases[] = {
    // Worked examples.
    {"ForLoop", "for (i = 0; i < n; i++) {", {}, 0, 3},
    {"Conditional", "x = y ? a : b;", {}, 0, 2},
    {"ScopeStringAndComment", "std::string s = \"a;b\"; // c;d", {}, 0, 1},
    {"ColonInCharLiteral", "case ':': break;", {}, 0, 2},
    {"TokenPaste", "#define CAT(a, b) a ## b", {}, 0, 1},
    {"Include", "#include \"a.h\"", {}, 0, 1},
    {"LabelCreditedToItsLine", "public:\n", Flags{1, 0}, 1, 0},
    {"ClosingBrace", "}", {}, 0, 0},
    {"Else", "} else {", {}, 0, 1},
    {"OpenStringEndsAtNewline", "printf(\"x;\ny;", Flags{0, 1}, 1, 0},
    {"BackslashNewlineContinuesString", "s = \"ab\\\ncd\";", Flags{0, 1}, 1, 0},
    {"BlockCommentOverLines", "/* a;\n b;\n c */\nint a;", Flags{0, 0, 0, 1}, 1, 0},
    {"SlashPutsNewlineBack", "a = b /\nc;", Flags{0, 1}, 1, 0},
    {"EscapedSemicolon", "\\;", {}, 0, 1},
    {"EscapedQuoteOpensNoString", "\\\"; x;", {}, 0, 2},
    {"ColonAsLastByte", "public:", {}, 0, 0},
    {"EndMarkerInCode", "a; \xFF b;\nc;", {}, 0, 1},
    {"EndMarkerInCommentEndsComment", "/* a; \xFF b; */", {}, 0, 1},
    {"MatchedAndUnmatchedLines", "int a;\nint b;", Flags{1, 0}, 1, 1},
    // Edge cases.
    {"TripleColon", "::: ", {}, 0, 1},
    {"TripleHash", "### ", {}, 0, 1},
    {"SpacedColonsLastNotFollowed", ": :", {}, 0, 1},
    {"SpacedColonsFollowed", ": :\n", {}, 0, 2},
    {"HashBeforeNewline", "#\n;", Flags{0, 1}, 1, 1},
    {"HashBeforeEndMarker", "#\xFF;a;", {}, 0, 2},
    {"ColonBeforeEndMarker", ":\xFF;a;", {}, 0, 2},
    {"HashAsLastByte", "a;#", {}, 0, 1},
    {"LiteralClosedByEndMarker", "\"ab\xFF;", {}, 0, 1},
    {"QuoteInCharLiteral", "'\"'; \"it's\";", {}, 0, 2},
    {"EscapedQuoteInString", "\"a\\\";b\"", {}, 0, 0},
    {"EscapedBackslashInString", "\"a\\\\\";", {}, 0, 1},
    {"SlashThenHash", "/#x", {}, 0, 1},
    {"SlashThenSemicolon", "/;", {}, 0, 1},
    {"SlashAsLastByte", "a; /", {}, 0, 1},
    {"BackslashAsLastByte", "a;\\", {}, 0, 1},
    {"CommentMarkersInsideString", "\"//\"; /* \" */ ;", {}, 0, 2},
    {"LineCommentEndsAtNewline", "// a;\n;", Flags{0, 1}, 1, 0},
    {"BackslashDoesNotContinueLineComment", "// a \\\n;", Flags{0, 1}, 1, 0},
    {"NoLineTableIsUnmatched", "a;b{", Flags{}, 0, 2},
    {"LineBeyondTableIsUnmatched", "a;\nb;", Flags{1}, 1, 1},
    {"StarStarSlashCloses", "/* x **/ ;", {}, 0, 1},
    {"StarBeforeNewlineInComment", "/* *\n*/;", Flags{0, 1}, 1, 0},
    {"EndMarkerAfterStarClosesComment", "/* *\xFF;", {}, 0, 1},
    {"UnterminatedBlockComment", "/* ;\n;", {}, 0, 0},
    {"BackslashNewlineInCode", "#define X a \\\n b;", Flags{0, 1}, 1, 1},
    {"BackslashBeforeEndMarker", "\\\xFF;", {}, 0, 0},
    {"BackslashBeforeHashCountsHash", "\\#x", {}, 0, 1},
    {"BackslashBeforeBackslash", "\\\\\";\";", {}, 0, 1},
    {"SlashBeforeEndMarker", "/\xFF;", {}, 0, 0},
    {"EndMarkerAfterEscapeInString", "\"a\\\xFF;", {}, 0, 1},
    {"BackslashAsLastByteInString", "\"a\\", {}, 0, 0},
    {"ShiftJisTrailByteActsAsBackslash", "\"\x95\\\";", {}, 0, 0},
    {"NulBytesAreOrdinary", std::string("a\0;\0{", 5), {}, 0, 2},
    {"EmptyText", "", {}, 0, 0},
    {"CarriageReturnIsNoNewline", "a;\rb;", Flags{1, 0}, 2, 0},
};

TEST(CountStatementsTest, CountsMarksOutsideLiteralsAndComments) {
  for (const CounterCase& c : kCases) {
    SourceText text = testing::MakeText(c.bytes);
    text.lines = c.flags.value_or(Flags(text.lines.size(), 0));
    const StatementCounts counts = CountStatements(text);
    EXPECT_EQ(counts.matched, c.matched) << c.name;
    EXPECT_EQ(counts.unmatched, c.unmatched) << c.name;
  }
  const StatementCounts absent = CountStatements(SourceText{});
  EXPECT_EQ(absent.matched, 0);
  EXPECT_EQ(absent.unmatched, 0);
}

// Every '\n' advances the line in every mode, so a mark after a run of mixed constructs is
// credited to the right line whatever came before it.
TEST(CountStatementsTest, LineIndexFollowsNewlinesInEveryMode) {
  const std::string prefixes[] = {"x\n", "\"open\n", "// c\n", "/* c\n", "\\\n",
                                  "/\n", "#\n",      ":\n",    "'\\\n",  "/* *\n"};
  for (const std::string& first : prefixes) {
    for (const std::string& second : prefixes) {
      // The block comments left open must be closed before the final line.
      std::string bytes = first + second + "*/\n;";
      SourceText text = testing::MakeText(bytes);
      std::fill(text.lines.begin(), text.lines.end(), 0);
      text.lines.back() = 1;
      EXPECT_EQ(CountStatements(text).matched, 1) << bytes;
    }
  }
}

}  // namespace
}  // namespace quintrel
