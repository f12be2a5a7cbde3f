#pragma once

#include <gtest/gtest.h>

#include <string>

#include "../../fuzz/checks/replay.h"

namespace quintrel::testing {

// The inputs a fuzz target once failed on, and its seeds, go through the target's check in
// the normal build too, so CI replays them without the fuzzing compiler.
template <typename Check>
void ExpectCommittedInputsPass(const std::string& target, Check check) {
  const auto replayed = fuzz::ReplayTarget(target, check);
  EXPECT_FALSE(replayed.empty()) << "no committed inputs for " << target;
  for (const fuzz::ReplayedInput& input : replayed) {
    EXPECT_EQ(input.report, "") << target << ": " << input.file;
  }
}

}  // namespace quintrel::testing
