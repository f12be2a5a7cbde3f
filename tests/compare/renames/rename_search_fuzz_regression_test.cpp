#include <gtest/gtest.h>

#include "../../../fuzz/checks/rename_search_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

// The rename_search fuzz target's committed inputs (failures it once found, and its seeds)
// through its check: the search over the profiles picks the pairs of the plain search over every
// pair.
TEST(RenameSearchFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  testing::ExpectCommittedInputsPass("rename_search", fuzz::CheckRenameSearch);
}

}  // namespace
}  // namespace quintrel
