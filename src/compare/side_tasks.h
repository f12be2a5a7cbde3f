#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>

namespace quintrel {

// Lends the workers of a run that have no entries left to the workers still measuring: a
// measuring worker may hand one side of a large pair to an idle one. Near the end of a run
// with a few large files this keeps every core busy instead of one.
class SideTasks {
 public:
  // A worker starts taking entries.
  void BeginMeasuring();

  // A worker has no entries left: it runs the pieces others hand over until no worker is
  // measuring any more.
  void EndMeasuringAndHelp();

  // Runs `second` on the calling thread and `first` on a worker that becomes idle before
  // `second` ends (else here, after `second`), and returns when both are done. If either throws,
  // the exception is passed on once neither runs any more (`first` is skipped if it has not started
  // when `second` fails; when both throw, the one from `first` is passed on).
  void RunBoth(const std::function<void()>& first, const std::function<void()>& second);

 private:
  struct Task {
    const std::function<void()>* work;
    bool taken = false;
    bool done = false;
    std::exception_ptr failure;
  };

  // Takes `task` back if no helper has started it yet; true when it was taken back.
  bool Withdraw(Task& task);

  std::mutex m_mutex;
  std::condition_variable m_wake;      // helpers: a task was queued, or measuring ended
  std::condition_variable m_finished;  // measurers: a handed-over task is done
  std::deque<Task*> m_queue;
  std::size_t m_measuring = 0;
};

}  // namespace quintrel
