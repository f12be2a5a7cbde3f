#include "compare/run/parallel_work.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

namespace quintrel {

namespace {

// What the workers share with the thread that waits for them. `done[i]` is written only by
// the worker that claimed item i and read only after every worker has been joined.
class WorkState {
 public:
  explicit WorkState(const ParallelWork& work) : m_work(work) {
    m_outcome.done.assign(work.items, 0);
  }

  void Work() {
    ItemWork handle;
    try {
      handle = m_work.newWorker();
    } catch (...) {
      RecordFailure(WorkOutcome::kNoItem);
    }
    while (handle && !ShouldStop()) {
      const std::size_t item = m_next.fetch_add(1);
      if (item >= m_work.items) break;
      if (!HandleOne(handle, item)) break;
    }
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_finishedWorkers;
    m_changed.notify_one();
  }

  // Waits on the calling thread until `workers` workers have finished, reporting progress.
  void WaitForWorkers(std::size_t workers) {
    std::size_t reported = 0;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
      m_changed.wait(lock, [&] { return m_done != reported || m_finishedWorkers == workers; });
      const std::size_t done = m_done;
      const bool finished = m_finishedWorkers == workers;
      if (done != reported && m_work.progress) {
        lock.unlock();
        ReportProgress(done);
        lock.lock();
      }
      reported = done;
      if (finished) return;
    }
  }

  WorkOutcome TakeOutcome() { return std::move(m_outcome); }

 private:
  bool ShouldStop() const {
    const bool cancelled = m_work.cancel && m_work.cancel->load(std::memory_order_acquire);
    return cancelled || m_failed.load(std::memory_order_acquire);
  }

  void RecordFailure(std::size_t item) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_outcome.failure) {
      m_outcome.failure = std::current_exception();
      m_outcome.failedItem = item;
    }
    m_failed.store(true, std::memory_order_release);
  }

  void ReportProgress(std::size_t done) {
    if (m_failed.load(std::memory_order_acquire)) return;
    try {
      m_work.progress(done);
    } catch (...) {
      RecordFailure(WorkOutcome::kNoItem);
    }
  }

  bool HandleOne(const ItemWork& handle, std::size_t item) {
    try {
      handle(item);
    } catch (...) {
      RecordFailure(item);
      return false;
    }
    m_outcome.done[item] = 1;
    const std::lock_guard<std::mutex> lock(m_mutex);
    ++m_done;
    // Without progress reports the waiting thread needs waking only when a worker ends:
    // waking it for every item costs a context switch each on a tree of small files.
    if (m_work.progress) m_changed.notify_one();
    return true;
  }

  const ParallelWork& m_work;
  WorkOutcome m_outcome;
  std::atomic<std::size_t> m_next{0};
  std::atomic<bool> m_failed{false};

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::size_t m_done = 0;
  std::size_t m_finishedWorkers = 0;
};

}  // namespace

std::size_t WorkerCount(unsigned jobs, std::size_t items) {
  const std::size_t count = jobs != 0 ? jobs : std::thread::hardware_concurrency();
  return std::max<std::size_t>(1, std::min(count, items));
}

std::size_t WorkOutcome::DonePrefix() const {
  std::size_t count = 0;
  while (count < done.size() && done[count]) ++count;
  return count;
}

WorkOutcome RunParallel(const ParallelWork& work) {
  WorkState state(work);
  if (work.items == 0) return state.TakeOutcome();
  const std::size_t wanted = WorkerCount(work.jobs, work.items);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < wanted; ++i) {
    try {
      workers.emplace_back([&state] { state.Work(); });
    } catch (const std::system_error&) {
      break;  // the threads that did start do the work
    }
  }
  if (workers.empty()) {
    state.Work();
  } else {
    state.WaitForWorkers(workers.size());
  }
  for (std::thread& worker : workers) worker.join();
  return state.TakeOutcome();
}

}  // namespace quintrel
