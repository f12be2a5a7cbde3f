#include <gtest/gtest.h>

#include "../../fuzz/checks/code_page_check.h"
#include "../../fuzz/checks/replay.h"

namespace quintrel {
namespace {

// The code page fuzz target's committed inputs (failures it once found, and its seeds)
// through its check: both comparisons sort, the conversions are stable, and the catalogue
// order is total and agrees with the code page order.
TEST(CodePageFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  const auto replayed = fuzz::ReplayTarget("code_page", fuzz::CheckCodePage);
  EXPECT_FALSE(replayed.empty());
  for (const fuzz::ReplayedInput& input : replayed) EXPECT_EQ(input.report, "") << input.file;
}

}  // namespace
}  // namespace quintrel
