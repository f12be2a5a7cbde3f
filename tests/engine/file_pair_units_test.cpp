#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <vector>

#include "engine/file_pair.h"
#include "engine/layout_change.h"
#include "engine/text_builder.h"
#include "engine/unit_pairing_reference.h"
#include "support/temp_dir.h"

namespace quintrel {
namespace {

VersionBytes Bytes(const std::optional<std::string>& text) {
  if (!text) return std::nullopt;
  return std::span(reinterpret_cast<const unsigned char*>(text->data()), text->size());
}

FileResult Measure(const std::optional<std::string>& oldText,
                   const std::optional<std::string>& newText,
                   PairingRule rule = PairingRule::kStatementUnits) {
  PairWorkspace workspace;
  workspace.pairing = rule;
  return MeasureVersionBytes(Bytes(oldText), Bytes(newText), false, workspace);
}

std::string Shown(const FileResult& r) {
  return "{added " + std::to_string(r.added) + ", deleted " + std::to_string(r.deleted) + ", loc " +
         std::to_string(r.loc) + "}";
}

struct Example {
  const char* name;
  std::string oldText;
  std::string newText;
  FileResult expected;
};

const Example kExamples[] = {
    {"BlockReindentedUnderANewIf",
     "foo();\nbar();\nbaz();\n",
     "foo();\nif (ready) {\n    bar();\n}\nbaz();\n",
     {1, 0, 4}},
    {"CallWrapped",
     "result = compute(alpha, beta, gamma);\n",
     "result = compute(alpha,\n                 beta,\n                 gamma);\n",
     {0, 0, 1}},
    {"BraceMoved", "if (a) {\n  b();\n}\n", "if (a)\n{\n\tb();\n}\n", {0, 0, 2}},
    {"CommentAtEndOfLineFixed", "x = 1; // one\n", "x = 1;  /* the first */\n", {0, 0, 1}},
    {"ScopeDoesNotHideTheChange", "a::b;", "c::b;", {1, 1, 1}},
    {"NegatedNegationIsNotDecrement", "- -x;", "--x;", {1, 1, 1}},
    {"StatementsSwapped", "a();\nb();\n", "b(); a();\n", {0, 0, 2}},
    {"ValueChanged", "a = 1;\nb = 2;\n", "a = 1;\nb = 3;\n", {1, 1, 2}},
    {"LongStringBroken",
     "puts(\"a long message, indeed\");\n",
     "puts(\"a long message, \"\n     \"indeed\");\n",
     {0, 0, 1}},
    {"MacroRealigned",
     "#define MAX(a, b) \\\n  ((a) > (b) ? (a) : (b))\n",
     "#define MAX(a, b)   \\\n        ((a) > (b) ? (a) : (b))\n",
     {0, 0, 2}},
    {"RepeatedIncludeDropped",
     "#include <a.h>\n#include <b.h>\n#include <a.h>\n",
     "#include <a.h>\n#include <b.h>\n",
     {0, 1, 2}},
};

TEST(MeasureByUnitsTest, WorkedExamples) {
  for (const Example& e : kExamples) {
    const FileResult result = Measure(e.oldText, e.newText);
    EXPECT_EQ(result, e.expected) << e.name << ": " << Shown(result);
    EXPECT_EQ(result.loc, Measure(e.oldText, e.newText, PairingRule::kLines).loc) << e.name;
  }
}

TEST(MeasureByUnitsTest, LinesStayTheDefault) {
  EXPECT_EQ(PairWorkspace{}.pairing, PairingRule::kLines);
  PairWorkspace workspace;
  const std::string oldText = kExamples[1].oldText;
  const std::string newText = kExamples[1].newText;
  EXPECT_EQ(MeasureVersionBytes(Bytes(oldText), Bytes(newText), false, workspace),
            (FileResult{1, 1, 1}));
}

// Absent versions, identical bytes and known-identical content take the same ways as
// when lines pair.
TEST(MeasureByUnitsTest, AbsentAndIdenticalVersions) {
  const std::string text = "int f() {\n  return 1;\n}\n#define X :\n";
  const std::optional<std::string> cases[][2] = {
      {std::nullopt, text}, {text, std::nullopt}, {std::nullopt, std::nullopt},
      {text, text},         {"", text},           {text, ""}};
  for (const auto& c : cases) {
    EXPECT_EQ(Measure(c[0], c[1]), Measure(c[0], c[1], PairingRule::kLines))
        << c[0].value_or("(absent)") << " / " << c[1].value_or("(absent)");
  }
  PairWorkspace workspace;
  workspace.pairing = PairingRule::kStatementUnits;
  EXPECT_EQ(MeasureVersionBytes(std::nullopt, Bytes(text), true, workspace), (FileResult{0, 0, 4}));
}

TEST(MeasureByUnitsTest, FilesOnDiskWithCrLf) {
  testing::ScopedTempDir dir;
  dir.MakeDir("old");
  dir.MakeDir("new");
  dir.Write("old/a.c", "int a;\nint b;\n");
  dir.Write("new/a.c", "int  a;\r\n// b\r\nint b;\r\nint c;\x1A d;");
  PairWorkspace workspace;
  workspace.pairing = PairingRule::kStatementUnits;
  const FileResult result = MeasureFilePair((dir.path() / "old").string(),
                                            (dir.path() / "new").string(), "a.c", "a.c", workspace);
  EXPECT_EQ(result, (FileResult{1, 0, 3})) << Shown(result);
}

// Random texts: code built from tokens, and dense runs of the bytes the counter acts on.
std::string RandomText(std::mt19937& random) {
  if (random() % 3 != 0) {
    return testing::RenderCode(testing::RandomCodeTokens(random, random() % 120), random);
  }
  static constexpr char kDense[] = ";{}#:\"'/\\*\n\xFF \tab()<-.=L0x";
  std::string bytes;
  for (unsigned n = random() % 100; n > 0; --n) bytes += kDense[random() % (sizeof kDense - 1)];
  return bytes;
}

// A text against itself with its layout changed: nothing added or deleted, same LOC.
TEST(MeasureByUnitsTest, LayoutChangesCountNothing) {
  std::mt19937 random(11);
  for (int round = 0; round < 6000; ++round) {
    const std::string text = RandomText(random);
    const std::string changed = testing::LayoutChanger(random(), 1 + random() % 4).Change(text);
    const FileResult result = Measure(text, changed);
    const FileResult expected{0, 0, Measure(text, text, PairingRule::kLines).loc};
    EXPECT_EQ(result, expected) << Shown(result) << "\n"
                                << ::testing::PrintToString(text) << "\n"
                                << ::testing::PrintToString(changed);
    if (::testing::Test::HasFailure()) return;
  }
}

// Edits of a few tokens: the units pair as the plain pairing pairs them, and reformatting
// either side, each its own way, changes no count.
TEST(MeasureByUnitsTest, EditsAgainstThePlainPairingAndReformatted) {
  std::mt19937 random(13);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> tokens = testing::RandomCodeTokens(random, 1 + random() % 120);
    std::vector<std::string> edited = tokens;
    const std::vector<std::string> spare = testing::RandomCodeTokens(random, 4);
    for (unsigned edits = 1 + (round % 2 == 0 ? 0 : random() % 4); edits > 0; --edits) {
      const std::size_t at = random() % edited.size();
      switch (random() % 3) {
        case 0:
          edited[at] = spare[edits % spare.size()];
          break;
        case 1:
          edited.insert(edited.begin() + static_cast<std::ptrdiff_t>(at), spare[0]);
          break;
        default:
          if (edited.size() > 1) edited.erase(edited.begin() + static_cast<std::ptrdiff_t>(at));
      }
    }
    const std::uint32_t layout = random();
    std::mt19937 oldLayout(layout);
    std::mt19937 newLayout(layout);
    const std::string oldText = testing::RenderCode(tokens, oldLayout);
    const std::string newText = testing::RenderCode(edited, newLayout);

    UnitList oldUnits;
    UnitList newUnits;
    ReadStatementUnits(testing::MakeText(oldText), oldUnits);
    ReadStatementUnits(testing::MakeText(newText), newUnits);
    const UnitCounts expected = testing::ReferencePairUnits(testing::ReferenceUnitsOf(oldUnits),
                                                            testing::ReferenceUnitsOf(newUnits));
    const FileResult result = Measure(oldText, newText);
    EXPECT_EQ(result.added, expected.added) << oldText << "\n---\n" << newText;
    EXPECT_EQ(result.deleted, expected.deleted) << oldText << "\n---\n" << newText;
    EXPECT_EQ(result.loc, Measure(oldText, newText, PairingRule::kLines).loc);

    const std::string oldReformatted = testing::LayoutChanger(random(), 2).Change(oldText);
    const std::string newReformatted = testing::LayoutChanger(random(), 3).Change(newText);
    EXPECT_EQ(Measure(oldReformatted, newReformatted), result) << oldReformatted << "\n---\n"
                                                               << newReformatted;
    if (::testing::Test::HasFailure()) return;
  }
}

}  // namespace
}  // namespace quintrel
