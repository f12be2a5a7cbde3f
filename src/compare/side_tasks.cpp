#include "compare/side_tasks.h"

#include <algorithm>

namespace quintrel {

void SideTasks::BeginMeasuring() {
  const std::lock_guard<std::mutex> lock(m_mutex);
  ++m_measuring;
}

void SideTasks::EndMeasuringAndHelp() {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (--m_measuring == 0) m_wake.notify_all();
  for (;;) {
    m_wake.wait(lock, [this] { return !m_queue.empty() || m_measuring == 0; });
    if (m_queue.empty()) return;  // nobody measures any more
    Task& task = *m_queue.front();
    m_queue.pop_front();
    task.taken = true;
    lock.unlock();
    std::exception_ptr failure;
    try {
      (*task.work)();
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    task.failure = failure;
    task.done = true;
    m_finished.notify_all();
  }
}

bool SideTasks::Withdraw(Task& task) {
  if (task.taken) return false;
  m_queue.erase(std::find(m_queue.begin(), m_queue.end(), &task));
  return true;
}

void SideTasks::RunBoth(const std::function<void()>& first, const std::function<void()>& second) {
  Task task{&first, false, false, nullptr};
  // Offered even when no worker is idle yet: one may finish its last entry while `second`
  // runs. If none does, `first` is taken back and runs here.
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_queue.push_back(&task);
    m_wake.notify_one();
  }

  std::exception_ptr secondFailure;
  try {
    second();
  } catch (...) {
    secondFailure = std::current_exception();
  }

  bool runHere = false;
  {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (Withdraw(task)) {
      runHere = true;
    } else {
      // `task` lives on this stack: wait for the helper even when `second` failed.
      m_finished.wait(lock, [&task] { return task.done; });
    }
  }
  if (runHere && !secondFailure) {
    try {
      first();
    } catch (...) {
      task.failure = std::current_exception();
    }
  }
  if (task.failure) std::rethrow_exception(task.failure);
  if (secondFailure) std::rethrow_exception(secondFailure);
}

}  // namespace quintrel
