#include "engine/memory_budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace quintrel {
namespace {

constexpr std::size_t kAllowance = 100;

// Workers book pairs of mixed sizes at once; whatever the interleaving, the bytes booked
// together never pass twice the largest pair plus the allowance (unless one booking holds
// alone), and every booking is admitted in the end.
TEST(MemoryBudgetTest, BookedBytesStayWithinTwiceTheLargestPair) {
  const std::vector<std::size_t> pairs = {10, 400, 5, 400, 400, 30, 1000, 7, 400, 20, 1000, 3};
  const std::size_t largest = *std::max_element(pairs.begin(), pairs.end());
  MemoryBudget budget(kAllowance);
  std::atomic<std::size_t> booked{0};
  std::atomic<std::size_t> holders{0};
  std::atomic<bool> overBooked{false};
  std::atomic<std::size_t> done{0};
  std::vector<std::thread> workers;
  for (unsigned worker = 0; worker < 6; ++worker) {
    workers.emplace_back([&, worker] {
      for (std::size_t i = worker; i < pairs.size(); i += 6) {
        const std::size_t bytes = 2 * pairs[i];  // working memory: twice the pair's bytes
        MemoryBooking booking(&budget, bytes, pairs[i]);
        const std::size_t together = booked += bytes;
        const std::size_t count = ++holders;
        if (count > 1 && together > 2 * largest + kAllowance) overBooked = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        --holders;
        booked -= bytes;
        ++done;
      }
    });
  }
  for (std::thread& worker : workers) worker.join();
  EXPECT_FALSE(overBooked);
  EXPECT_EQ(done, pairs.size());
}

// A booking larger than the whole budget waits while another is held, and is admitted as
// soon as it would hold alone.
TEST(MemoryBudgetTest, OversizedBookingWaitsToHoldAlone) {
  MemoryBudget budget(kAllowance);
  std::atomic<bool> admitted{false};
  auto small = std::make_unique<MemoryBooking>(&budget, 50, 50);
  std::thread huge([&] {
    MemoryBooking booking(&budget, 10'000, 1'000);  // more than 2 * 1,000 + 100
    admitted = true;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(admitted) << "admitted beside another booking";
  small.reset();
  huge.join();
  EXPECT_TRUE(admitted);
}

}  // namespace
}  // namespace quintrel
