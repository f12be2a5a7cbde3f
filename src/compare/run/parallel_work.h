#pragma once

#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace quintrel {

// Handles one item on a worker thread.
using ItemWork = std::function<void(std::size_t item)>;

// Work on items 0 to `items` - 1, spread over worker threads that claim them in order.
struct ParallelWork {
  std::size_t items = 0;
  unsigned jobs = 0;  // worker threads at most; 0 = one per core
  // Called once on each worker thread before it claims an item; returns that worker's
  // ItemWork, which keeps its own buffers from item to item. May throw.
  std::function<ItemWork()> newWorker;
  const std::atomic<bool>* cancel = nullptr;  // set from any thread: no further item starts
  // When set, called on the calling thread with the number of items done, each time it grew.
  // May throw: the work then stops as after a failed item.
  std::function<void(std::size_t done)> progress;
};

struct WorkOutcome {
  static constexpr std::size_t kNoItem = static_cast<std::size_t>(-1);

  std::vector<char> done;  // per item: 1 when its ItemWork returned
  // The first exception thrown by a worker or a progress report, and the item whose work
  // threw it (kNoItem when it was thrown elsewhere). No further item starts after it.
  std::exception_ptr failure;
  std::size_t failedItem = kNoItem;

  // The number of items done in order from the first.
  std::size_t DonePrefix() const;
};

// How many workers RunParallel starts for `items` items: `jobs`, or one per core when 0,
// at most one per item and at least one.
std::size_t WorkerCount(unsigned jobs, std::size_t items);

// Runs the work and returns when every worker has ended. Each item is handled at most once.
// Where no thread can be started, the calling thread does the work, without progress.
WorkOutcome RunParallel(const ParallelWork& work);

}  // namespace quintrel
