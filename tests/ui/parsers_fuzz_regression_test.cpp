#include <gtest/gtest.h>

#include "../../fuzz/checks/history_string_check.h"
#include "../../fuzz/checks/window_info_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

using testing::ExpectCommittedInputsPass;

// The committed inputs of the two settings parsers' fuzz targets (failures they once found,
// and their seeds) through the same checks.
TEST(ParsersFuzzRegressionTest, HistoryStringStoresWhatItReads) {
  ExpectCommittedInputsPass("history_string", fuzz::CheckHistoryString);
}

TEST(ParsersFuzzRegressionTest, WindowInfoAlwaysGivesAUsableWindow) {
  ExpectCommittedInputsPass("window_info", fuzz::CheckWindowInfo);
}

}  // namespace
}  // namespace quintrel
