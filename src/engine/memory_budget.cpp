#include "engine/memory_budget.h"

#include <algorithm>

namespace quintrel {

bool MemoryBudget::Admits(std::size_t bytes) const {
  return m_holders == 0 || m_booked + bytes <= 2 * m_largestPair + m_allowance;
}

void MemoryBudget::Acquire(std::size_t bytes, std::size_t pairBytes) {
  std::unique_lock<std::mutex> lock(m_mutex);
  const std::uint64_t ticket = m_nextTicket++;
  // The largest pair counts from the moment it is asked for: the bound is relative to the
  // run's largest pair, and a large pair waiting its turn needs that room anyway.
  m_largestPair = std::max(m_largestPair, pairBytes);
  m_changed.wait(lock, [&] { return ticket == m_serving && Admits(bytes); });
  ++m_serving;
  m_booked += bytes;
  ++m_holders;
  lock.unlock();
  m_changed.notify_all();  // the next ticket may fit as well
}

void MemoryBudget::Release(std::size_t bytes) {
  {
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_booked -= bytes;
    --m_holders;
  }
  m_changed.notify_all();
}

}  // namespace quintrel
