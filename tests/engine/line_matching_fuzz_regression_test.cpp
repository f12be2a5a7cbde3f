#include <gtest/gtest.h>

#include "../../fuzz/checks/line_matching_check.h"
#include "../../fuzz/checks/replay.h"
#include "engine/text_builder.h"

namespace quintrel {
namespace {

// Inputs the line matching fuzzer failed on, and its seeds, through the same check: the
// linear pairing must give the greedy pairing's flags.
TEST(LineMatchingFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  for (const char* folder : {"regressions/line_matching", "corpus/line_matching"}) {
    const auto replayed = fuzz::ReplayFolder(fuzz::FuzzFolder() / folder, fuzz::CheckLineMatching);
    EXPECT_FALSE(replayed.empty()) << "no inputs in " << folder;
    for (const fuzz::ReplayedInput& input : replayed) {
      EXPECT_EQ(input.report, "") << folder << "/" << input.file;
    }
  }
}

// An empty file has no buffer at all; pairing it must not hand that to the byte search.
TEST(LineMatchingFuzzRegressionTest, EmptyTextsPairTheirOneEmptyLine) {
  SourceText oldText = testing::MakeText("");
  SourceText newText = testing::MakeText("\xFF\n");
  PairLines(oldText, newText);
  EXPECT_EQ(oldText.lines, LineTable({1}));
  EXPECT_EQ(newText.lines, LineTable({1, 0}));
}

}  // namespace
}  // namespace quintrel
