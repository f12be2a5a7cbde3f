#include <gtest/gtest.h>

#include "../../../fuzz/checks/json_report_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

// The json_report fuzz target's committed inputs (failures it once found, and its seeds)
// through its check: the report reads back to every row, the total and the folder sums counted
// plainly, with every text recoverable.
TEST(JsonReportFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  testing::ExpectCommittedInputsPass("json_report", fuzz::CheckJsonReport);
}

}  // namespace
}  // namespace quintrel
