#include "engine/statement_counter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "../../fuzz/checks/reference_statement_counter.h"
#include "engine/statement_blocks.h"
#include "engine/statement_counter_kernels.h"
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
    {"NulBytesAreOrdinary", std::string("a\0;\0{", 5), {}, 0, 2},
    {"CarriageReturnIsNoNewline", "a;\rb;", Flags{1, 0}, 2, 0},
    {"LineBeyondTableIsUnmatched", "a;\nb;", Flags{1}, 1, 1},
};

std::string KernelName(CounterKernel kernel) {
  switch (kernel) {
    case CounterKernel::kPlain:
      return "plain";
    case CounterKernel::kSse2:
      return "SSE2";
    case CounterKernel::kAvx2:
      return "AVX2";
  }
  return "?";
}

// Every kernel this build and processor offer, so that each case runs through each.
const std::vector<CounterKernel>& Kernels() {
  static const std::vector<CounterKernel> kernels = AvailableCounterKernels();
  return kernels;
}

TEST(CountStatementsTest, CountsMarksOutsideLiteralsAndComments) {
  for (CounterKernel kernel : Kernels()) {
    for (const CounterCase& c : kCases) {
      SourceText text = testing::MakeText(c.bytes);
      text.lines = c.flags.value_or(Flags(text.lines.size(), 0));
      const StatementCounts counts = CountStatementsWith(text, kernel);
      EXPECT_EQ(counts.matched, c.matched) << c.name << ", " << KernelName(kernel);
      EXPECT_EQ(counts.unmatched, c.unmatched) << c.name << ", " << KernelName(kernel);
    }
    const StatementCounts absent = CountStatementsWith(SourceText{}, kernel);
    EXPECT_EQ(absent.matched, 0);
    EXPECT_EQ(absent.unmatched, 0);
  }
}

// The counts the byte-by-byte reference scan gives for `text` under its line flags.
StatementCounts ReferenceCounts(const SourceText& text) {
  const std::vector<std::int64_t> marks =
      fuzz::ReferenceStatementCounter(text.bytes).MarksPerLine();
  StatementCounts counts;
  for (std::size_t line = 0; line < marks.size(); ++line) {
    const bool matched = line < text.lines.size() && text.lines[line] != 0;
    (matched ? counts.matched : counts.unmatched) += static_cast<std::int32_t>(marks[line]);
  }
  return counts;
}

void ExpectSameAsReference(const SourceText& text, const std::string& what) {
  const StatementCounts expected = ReferenceCounts(text);
  for (CounterKernel kernel : Kernels()) {
    const StatementCounts counts = CountStatementsWith(text, kernel);
    EXPECT_EQ(counts.matched, expected.matched) << what << ", " << KernelName(kernel);
    EXPECT_EQ(counts.unmatched, expected.unmatched) << what << ", " << KernelName(kernel);
  }
}

// Alternating flags, so that a mark credited to the line before or after its own shows.
SourceText WithAlternatingFlags(const std::string& bytes) {
  SourceText text = testing::MakeText(bytes);
  for (std::size_t line = 0; line < text.lines.size(); ++line) text.lines[line] = line % 2;
  return text;
}

// Every construct of two or more bytes, and every byte whose meaning depends on the one
// before.
const std::string kConstructs[] = {
    "*/;",     "/*;*/;",     "//;\n;",      "::;",         ":::;",        "##;",
    "###;",    ":\xFF;",     "#\xFF;",      "\\\";",       "\\\\\";\";",  "\";\";",
    "';';",    "\"\\\";\";", "\"a\\\n;\";", "/\xFF;",      "\\\xFF;",     "\xFF;",
    "**/;",    "/*/;*/",     ";\n{",        "#:;",         "/;",          "\\\\;",
    "::: ",    "### ",       ": :",         "#\n;",        "#\xFF;a;",    ":\xFF;a;",
    "a;#",     "\"ab\xFF;",  "'\"';\"'\";", "\"a\\\";b\"", "\"a\\\\\";",  "/#x",
    "a; /",    "a;\\",       "// a \\\n;",  "/* x **/ ;",  "/* *\n*/;",   "/* *\xFF;",
    "/* ;\n;", "\\#x",       "\"a\\\xFF;",  "\"a\\",       "\"\x95\\\";", "",
    "\"/*\";", "/*\"*/;",    "// a;\n;",    "a \\\n b;",   ": :\n"};

// Text is read 64 bytes at a time, and stretches without a loud byte a block at a time:
// texts built of constructs, runs of pairs, quiet filler and dense bytes of random lengths
// put each construct across, on or next to block boundaries, behind each way of entering a
// block (code, a literal, a line or block comment still open), and make whole quiet blocks
// of code and of comments, under random flags.
std::string BuiltBytes(std::mt19937& random) {
  static constexpr char kDense[] = ";{}#:\"'/\\*\n\xFF ab";
  const std::string openings[] = {"", "\"", "'", "//", "/*", "\\", ":", "#"};
  std::string bytes = openings[random() % std::size(openings)];
  for (unsigned piece = 1 + random() % 4; piece > 0; --piece) {
    switch (random() % 4) {
      case 0:
        bytes += kConstructs[random() % std::size(kConstructs)];
        break;
      case 1:
        bytes += std::string(random() % 260, 'x');
        break;
      case 2:
        bytes += std::string(random() % 140, ":#\\"[random() % 3]);
        break;
      default:
        for (unsigned n = random() % 24; n > 0; --n) bytes += kDense[random() % 15];
    }
  }
  return bytes;
}

TEST(CountStatementsTest, BuiltTextsMatchTheReferenceAcrossBlocks) {
  for (const std::string& construct : kConstructs) {
    ExpectSameAsReference(WithAlternatingFlags(construct), "alone: " + construct);
  }
  std::mt19937 random(31);
  for (int round = 0; round < 20000; ++round) {
    const std::string bytes = BuiltBytes(random);
    SourceText text = testing::MakeText(bytes);
    for (std::int32_t& flag : text.lines) flag = static_cast<std::int32_t>(random() % 2);
    ExpectSameAsReference(text, ::testing::PrintToString(bytes));
    if (::testing::Test::HasFailure()) return;
  }
}

// The per-line tally credits each mark to its own line, on the same built texts, with
// tables as long as the text and shorter: the marks of the lines past the table are
// returned.
TEST(CountStatementsTest, PerLineTallyMatchesTheReferenceLineByLine) {
  std::mt19937 random(37);
  std::vector<std::int32_t> perLine;
  for (int round = 0; round < 5000; ++round) {
    const std::string bytes = BuiltBytes(random) + BuiltBytes(random);
    SourceText text = testing::MakeText(bytes);
    const std::vector<std::int64_t> expected =
        fuzz::ReferenceStatementCounter(text.bytes).MarksPerLine();
    const std::size_t lines = text.lines.size();
    for (const std::size_t table : {lines, lines / 2, std::size_t{0}}) {
      text.lines.resize(table);
      const std::int64_t beyond = CountStatementsPerLine(text, perLine);
      ASSERT_EQ(perLine.size(), table);
      std::int64_t expectedBeyond = 0;
      for (std::size_t line = 0; line < std::max(table, expected.size()); ++line) {
        const std::int64_t marks = line < expected.size() ? expected[line] : 0;
        if (line < table) {
          EXPECT_EQ(perLine[line], marks) << "line " << line << " of " << bytes;
        } else {
          expectedBeyond += marks;
        }
      }
      EXPECT_EQ(beyond, expectedBeyond) << "table of " << table << " lines: " << bytes;
    }
    if (::testing::Test::HasFailure()) return;
  }
}

// Line flags are taken a run of equal flags at a time; runs that end inside a block, on its
// last newline or past it, tables shorter or longer than the text, and runs longer than one
// look at the table covers must all credit each mark to its own line.
TEST(CountStatementsTest, FlagRunsOfEveryLength) {
  std::string bytes;
  for (int line = 0; line < 9000; ++line) bytes += line % 7 == 3 ? "/* c; */\n" : "a;b{\n";
  const SourceText base = testing::MakeText(bytes);
  const std::size_t lines = base.lines.size();
  for (std::size_t runLength : {1, 2, 12, 13, 16, 17, 4095, 4096, 4097, 5000}) {
    for (std::size_t tableLength : {lines, lines - 1, lines / 2, lines + 3, std::size_t{0}}) {
      SourceText text = base;
      text.lines.assign(tableLength, 0);
      for (std::size_t line = 0; line < tableLength; ++line) {
        text.lines[line] = (line / runLength) % 2 == 0 ? 1 : 0;
      }
      ExpectSameAsReference(
          text, "run " + std::to_string(runLength) + ", table " + std::to_string(tableLength));
    }
  }
  // Any value but 0 counts as matched.
  SourceText text = base;
  for (std::size_t line = 0; line < lines; ++line)
    text.lines[line] = line % 3 == 0 ? -1 : 0x7FFFFFFF;
  ExpectSameAsReference(text, "values other than 1");
}

// A backslash, ':' or '#' ending a block takes the next block's first byte along; when that
// block is quiet, the byte after it must not be taken too.
TEST(CountStatementsTest, QuietBlockAfterAPairRunStartsNoneOfItsOwn) {
  for (const char pair : {':', '#', '\\'}) {
    for (std::size_t quietBlocks : {1, 2}) {
      for (const char* after : {"\";\";", "\xFF;", "/*;*/;", "'a;'b;"}) {
        const std::string bytes = std::string(kMaskBlock - 1, 'x') + pair +
                                  std::string(quietBlocks * kMaskBlock, 'x') + after;
        ExpectSameAsReference(WithAlternatingFlags(bytes), bytes);
        ExpectSameAsReference(WithAlternatingFlags("/*" + bytes.substr(2) + "*/" + after),
                              "in a comment: " + bytes);
      }
    }
  }
}

// Every mask a kernel gives for a block, in one row.
std::array<std::uint64_t, 15> Masks(const ByteClasses& c, const QuietCode& code,
                                    const QuietComment& comment) {
  return {c.newline,     c.mark,     c.colon,       c.hash,        c.doubleQuote,
          c.singleQuote, c.slash,    c.star,        c.backslash,   c.end,
          code.loud,     code.marks, code.newlines, comment.stops, comment.newlines};
}

// The kernels must classify every block alike; the plain loop is the yardstick.
TEST(CountStatementsTest, KernelsClassifyBlocksAlike) {
  std::uint32_t state = 88172645u;
  for (int round = 0; round < 2000; ++round) {
    unsigned char block[2 * kMaskBlock];
    for (unsigned char& byte : block) {
      state = state * 1664525u + 1013904223u;
      // Half the bytes from the classified ones, the rest anything.
      byte = (state >> 24) % 2 == 0 ? kClassBytes[(state >> 8) % std::size(kClassBytes)]
                                    : static_cast<unsigned char>(state >> 16);
    }
    const auto plain = Masks(PlainKernel::Classify(block), PlainKernel::ClassifyQuietCode(block),
                             PlainKernel::ClassifyQuietComment(block));
    auto expectAlike = [&](const ByteClasses& c, const QuietCode& code, const QuietComment& comment,
                           const char* name) {
      const auto got = Masks(c, code, comment);
      for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], plain[i]) << name << " mask " << i;
    };
#ifdef QUINTREL_HAVE_SSE2
    expectAlike(Sse2Kernel::Classify(block), Sse2Kernel::ClassifyQuietCode(block),
                Sse2Kernel::ClassifyQuietComment(block), "SSE2");
#endif
#ifdef QUINTREL_HAVE_AVX2_KERNEL
    if (Avx2Kernel::Supported()) {
      expectAlike(Avx2Kernel::Classify(block), Avx2Kernel::ClassifyQuietCode(block),
                  Avx2Kernel::ClassifyQuietComment(block), "AVX2");
    }
#endif
    if (::testing::Test::HasFailure()) return;
  }
}

#ifdef QUINTREL_HAVE_AVX2_KERNEL
// The AVX2 kernel is built here, so the processor must offer it for its cases to run.
TEST(CountStatementsTest, Avx2KernelIsTestedWhereBuilt) {
  if (!Avx2Kernel::Supported())
    GTEST_SKIP() << "this processor has no AVX2: its kernel goes untested";
  EXPECT_EQ(Kernels().back(), CounterKernel::kAvx2);
}
#endif

}  // namespace
}  // namespace quintrel
