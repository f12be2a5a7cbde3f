#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

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

// Random inputs through the same check: up to 40 files a side drawn from a few contents, so
// that many lines are in more old files than the join follows one by one (kCommonPostings)
// and pairs qualify through those lines alone, at every percent.
TEST(RenameSearchFuzzRegressionTest, RandomInputsPassTheFuzzCheck) {
  std::mt19937 random(20261208);
  std::vector<std::uint8_t> input;
  for (int round = 0; round < 400; ++round) {
    input.resize(64 + random() % 700);
    for (std::uint8_t& byte : input) byte = static_cast<std::uint8_t>(random());
    const fuzz::CheckReport report = fuzz::CheckRenameSearch(input.data(), input.size());
    ASSERT_TRUE(report.empty()) << "round " << round << ": " << report;
  }
}

}  // namespace
}  // namespace quintrel
