#include <gtest/gtest.h>

#include "../../fuzz/checks/cli_options_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

// The command-line options fuzz target's committed inputs (failures it once found, and its
// seeds) through its check: every argument list ends in a usage error with one message line,
// help or the version, or consistent options whose run on two empty folders succeeds.
TEST(CliFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  testing::ExpectCommittedInputsPass("cli_options", fuzz::CheckCliOptions);
}

}  // namespace
}  // namespace quintrel
