#include <gtest/gtest.h>

#include "../../fuzz/checks/file_pair_check.h"
#include "../../fuzz/checks/line_matching_check.h"
#include "../../fuzz/checks/statement_counter_check.h"
#include "../../fuzz/checks/text_mode_check.h"
#include "engine/text_builder.h"
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

// An empty file has no buffer at all; pairing it must not hand that to the byte search.
TEST(EngineFuzzRegressionTest, EmptyTextPairsItsOneEmptyLine) {
  SourceText oldText = testing::MakeText("");
  SourceText newText = testing::MakeText("\xFF\n");
  PairLines(oldText, newText);
  EXPECT_EQ(oldText.lines, LineTable({1}));
  EXPECT_EQ(newText.lines, LineTable({1, 0}));
}

}  // namespace
}  // namespace quintrel
