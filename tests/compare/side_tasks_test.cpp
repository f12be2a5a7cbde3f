#include "compare/side_tasks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <stdexcept>
#include <thread>

namespace quintrel {
namespace {

using std::chrono::seconds;

// A second worker that has run out of entries and helps until the measuring one ends.
class Helper {
 public:
  explicit Helper(SideTasks& tasks) : m_tasks(tasks) {
    m_tasks.BeginMeasuring();
    m_thread = std::thread([this] { m_tasks.EndMeasuringAndHelp(); });
  }
  ~Helper() { m_thread.join(); }
  std::thread::id Id() const { return m_thread.get_id(); }

 private:
  SideTasks& m_tasks;
  std::thread m_thread;
};

TEST(SideTasks, WithoutAHelperBothRunOnTheCallingThread) {
  SideTasks tasks;
  tasks.BeginMeasuring();
  std::thread::id firstRanOn;
  int order = 0;
  int firstAt = 0;
  int secondAt = 0;
  tasks.RunBoth(
      [&] {
        firstRanOn = std::this_thread::get_id();
        firstAt = ++order;
      },
      [&] { secondAt = ++order; });
  EXPECT_EQ(firstRanOn, std::this_thread::get_id());
  EXPECT_EQ(secondAt, 1);
  EXPECT_EQ(firstAt, 2);
  tasks.EndMeasuringAndHelp();  // nobody measures any more: returns at once
}

TEST(SideTasks, AnIdleWorkerRunsTheFirstPiece) {
  SideTasks tasks;
  tasks.BeginMeasuring();
  std::thread::id firstRanOn;
  {
    Helper helper(tasks);
    std::promise<void> firstStarted;
    // `second` waits until `first` runs elsewhere, which only the helper can make happen.
    tasks.RunBoth(
        [&] {
          firstRanOn = std::this_thread::get_id();
          firstStarted.set_value();
        },
        [&] {
          ASSERT_EQ(firstStarted.get_future().wait_for(seconds(30)), std::future_status::ready);
        });
    EXPECT_EQ(firstRanOn, helper.Id());
    tasks.EndMeasuringAndHelp();  // lets the helper go
  }
}

TEST(SideTasks, FailuresArePassedOnOnceNeitherPieceRuns) {
  SideTasks tasks;
  tasks.BeginMeasuring();
  // Run here: a failing second piece skips the first one.
  bool firstRan = false;
  EXPECT_THROW(tasks.RunBoth([&] { firstRan = true; }, [] { throw std::runtime_error("second"); }),
               std::runtime_error);
  EXPECT_FALSE(firstRan);
  EXPECT_THROW(tasks.RunBoth([] { throw std::logic_error("first"); }, [] {}), std::logic_error);

  // Handed over: the helper's failure comes back, and wins over the second piece's.
  {
    Helper helper(tasks);
    std::promise<void> firstFailing;
    auto first = [&] {
      firstFailing.set_value();
      throw std::logic_error("first");
    };
    auto second = [&] {
      ASSERT_EQ(firstFailing.get_future().wait_for(seconds(30)), std::future_status::ready);
      throw std::runtime_error("second");
    };
    EXPECT_THROW(tasks.RunBoth(first, second), std::logic_error);
    tasks.EndMeasuringAndHelp();
  }
}

}  // namespace
}  // namespace quintrel
