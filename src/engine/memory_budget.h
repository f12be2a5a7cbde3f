#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

namespace quintrel {

// Shares memory among the workers of a run, so that its peak stays near twice its largest
// file pair however many workers it has. A booking is admitted while everything booked
// stays within twice the largest pair asked for so far plus a fixed allowance, and always
// when nothing else is booked: two large pairs still run side by side, many do not.
// Bookings are admitted in the order they are asked for, so a large pair is not passed
// over by a stream of small ones.
class MemoryBudget {
 public:
  explicit MemoryBudget(std::size_t allowance) : m_allowance(allowance) {}

  // Waits until `bytes` for a pair of `pairBytes` (both versions together) may be used,
  // and books them.
  void Acquire(std::size_t bytes, std::size_t pairBytes);
  void Release(std::size_t bytes);

 private:
  bool Admits(std::size_t bytes) const;

  std::mutex m_mutex;
  std::condition_variable m_changed;
  const std::size_t m_allowance;
  std::size_t m_booked = 0;
  std::size_t m_holders = 0;
  std::size_t m_largestPair = 0;
  std::uint64_t m_nextTicket = 0;
  std::uint64_t m_serving = 0;
};

// One booking, given back when it goes out of scope; nothing when the budget is null.
class MemoryBooking {
 public:
  MemoryBooking(MemoryBudget* budget, std::size_t bytes, std::size_t pairBytes)
      : m_budget(budget), m_bytes(bytes) {
    if (m_budget != nullptr) m_budget->Acquire(bytes, pairBytes);
  }
  ~MemoryBooking() {
    if (m_budget != nullptr) m_budget->Release(m_bytes);
  }
  MemoryBooking(const MemoryBooking&) = delete;
  MemoryBooking& operator=(const MemoryBooking&) = delete;

 private:
  MemoryBudget* m_budget;
  std::size_t m_bytes;
};

}  // namespace quintrel
