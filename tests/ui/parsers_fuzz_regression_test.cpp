#include <gtest/gtest.h>

#include <string>

#include "../../fuzz/checks/history_string_check.h"
#include "../../fuzz/checks/replay.h"
#include "../../fuzz/checks/window_info_check.h"

namespace quintrel {
namespace {

template <typename Check>
void ExpectCommittedInputsPass(const std::string& target, Check check) {
  const auto replayed = fuzz::ReplayTarget(target, check);
  EXPECT_FALSE(replayed.empty()) << "no committed inputs for " << target;
  for (const fuzz::ReplayedInput& input : replayed) {
    EXPECT_EQ(input.report, "") << target << ": " << input.file;
  }
}

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
