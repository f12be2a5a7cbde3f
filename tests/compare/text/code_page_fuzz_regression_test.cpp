#include <gtest/gtest.h>

#include "../../../fuzz/checks/code_page_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

// The code page fuzz target's committed inputs (failures it once found, and its seeds)
// through its check: both comparisons sort, the conversions are stable, and the catalogue
// order is total and agrees with the code page order.
TEST(CodePageFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  testing::ExpectCommittedInputsPass("code_page", fuzz::CheckCodePage);
}

}  // namespace
}  // namespace quintrel
