#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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

// The committed inputs are short; the counter reads texts of 64 bytes and more a block at
// a time, so long texts dense in the bytes it acts on go through the same check. Each
// starts with the three bytes that shape the line flags.
TEST(EngineFuzzRegressionTest, LongTextsAgainstByteByByteScan) {
  static constexpr char kAlphabet[] = ";{}#:\"'/\\*\n\xFF ab\r";
  std::uint32_t state = 12345;
  auto next = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  };
  for (int round = 0; round < 300; ++round) {
    std::string input(3 + next() % 700, ' ');
    for (char& byte : input) {
      // Mostly the marks and the bytes around literals and comments, sometimes 0xFF.
      std::uint32_t pick = next() % (sizeof kAlphabet - 1);
      if (kAlphabet[pick] == '\xFF' && next() % 8 != 0) pick = 0;
      byte = kAlphabet[pick];
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(input.data());
    EXPECT_EQ(fuzz::CheckStatementCounter(data, input.size()), "")
        << ::testing::PrintToString(input);
  }
}

TEST(EngineFuzzRegressionTest, FilePairFromDiskAgainstReferencePieces) {
  ExpectCommittedInputsPass("file_pair", fuzz::CheckFilePair);
}

// An empty file has no buffer at all; pairing it must not hand that to the byte search.
TEST(EngineFuzzRegressionTest, EmptyTextPairsItsOneEmptyLine) {
  SourceText oldText = testing::MakeText("");
  SourceText newText = testing::MakeText("\xFF\n");
  LineIndexMemory memory;
  PairLines(oldText, newText, memory);
  EXPECT_EQ(oldText.lines, LineTable({1}));
  EXPECT_EQ(newText.lines, LineTable({1, 0}));
}

}  // namespace
}  // namespace quintrel
