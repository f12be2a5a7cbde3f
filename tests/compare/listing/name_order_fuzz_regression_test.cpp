#include <gtest/gtest.h>

#include "../../../fuzz/checks/catalogue_order_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

// The catalogue_order fuzz target's committed inputs (failures it once found, and its seeds)
// through its check: names built from mixed pieces keep a total order, and their keys follow the
// pieces.
TEST(CatalogueOrderFuzzRegressionTest, CommittedInputsPassTheFuzzCheck) {
  testing::ExpectCommittedInputsPass("catalogue_order", fuzz::CheckCatalogueOrderNames);
}

}  // namespace
}  // namespace quintrel
