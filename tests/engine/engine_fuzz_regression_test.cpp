#include <gtest/gtest.h>

#include "../../fuzz/checks/file_pair_check.h"
#include "../../fuzz/checks/line_matching_check.h"
#include "../../fuzz/checks/statement_counter_check.h"
#include "../../fuzz/checks/statement_units_check.h"
#include "../../fuzz/checks/text_mode_check.h"
#include "support/committed_fuzz_inputs.h"

namespace quintrel {
namespace {

using testing::ExpectCommittedInputsPass;

TEST(EngineFuzzRegressionTest, TextModeAndLineTable) {
  ExpectCommittedInputsPass("text_mode", fuzz::CheckTextMode);
}

TEST(EngineFuzzRegressionTest, LinePairingAgainstGreedyPairing) {
  ExpectCommittedInputsPass("line_matching", fuzz::CheckLineMatching);
}

TEST(EngineFuzzRegressionTest, StatementCounterAgainstByteByByteScan) {
  ExpectCommittedInputsPass("statement_counter", fuzz::CheckStatementCounter);
}

TEST(EngineFuzzRegressionTest, FilePairFromDiskAgainstReferencePieces) {
  ExpectCommittedInputsPass("file_pair", fuzz::CheckFilePair);
}

TEST(EngineFuzzRegressionTest, StatementUnitsUnderLayoutChangesAndAgainstPlainPairing) {
  ExpectCommittedInputsPass("statement_units", fuzz::CheckStatementUnits);
}

}  // namespace
}  // namespace quintrel
