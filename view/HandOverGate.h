// Counts what the loader has handed over and the list has not yet taken
// (in bytes of rows), so the loader can read ahead while the list stores
// the rows before, yet never queue more than a bounded amount of text when
// the dialog's thread falls behind.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>

class HandOverGate {
 public:
  void Enter(size_t amount);
  void Leave(size_t amount);
  // Waits while more than `limit` is on its way. Returns at once once
  // opened.
  void WaitUntilAtMost(size_t limit);
  // Lets every wait through from now on (the list takes no more rows).
  void Open();
  size_t InFlight() const;

 private:
  mutable std::mutex m_mutex;
  std::condition_variable m_changed;
  size_t m_inFlight = 0;
  bool m_open = false;
};
