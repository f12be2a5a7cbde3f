#include <gtest/gtest.h>

#include "../../../fuzz/checks/path_pattern_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

// The path_pattern fuzz target's committed inputs through its check: the matcher agrees with
// a plain reference, an escaped path matches itself only, a leading "**/" adds folders.
TEST(PathPatternFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  testing::ExpectCommittedInputsPass("path_pattern", fuzz::CheckPathPattern);
}

}  // namespace
}  // namespace quintrel
