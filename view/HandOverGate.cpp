#include "HandOverGate.h"

void HandOverGate::Enter(size_t amount) {
  const std::lock_guard lock(m_mutex);
  m_inFlight += amount;
}

void HandOverGate::Leave(size_t amount) {
  {
    const std::lock_guard lock(m_mutex);
    m_inFlight = amount < m_inFlight ? m_inFlight - amount : 0;
  }
  m_changed.notify_all();
}

void HandOverGate::WaitUntilAtMost(size_t limit) {
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [&] { return m_open || m_inFlight <= limit; });
}

void HandOverGate::Open() {
  {
    const std::lock_guard lock(m_mutex);
    m_open = true;
  }
  m_changed.notify_all();
}

size_t HandOverGate::InFlight() const {
  const std::lock_guard lock(m_mutex);
  return m_inFlight;
}
