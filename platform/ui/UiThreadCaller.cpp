#include "UiThreadCaller.h"

#include <fcntl.h>
#include <unistd.h>

UiThreadCaller::UiThreadCaller() : m_owner(std::this_thread::get_id()) {
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) return;
  m_readFd = fds[0];
  m_writeFd = fds[1];
  m_notifier = std::make_unique<QSocketNotifier>(m_readFd, QSocketNotifier::Read);
  QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [this] { RunPending(); });
}

UiThreadCaller::~UiThreadCaller() {
  Close();
  {
    std::unique_lock lock(m_mutex);
    m_finished.wait(lock, [this] { return m_callers == 0; });
  }
  m_notifier.reset();
  if (m_readFd >= 0) close(m_readFd);
  if (m_writeFd >= 0) close(m_writeFd);
}

void UiThreadCaller::Close() {
  std::deque<Entry> dropped;
  {
    const std::lock_guard lock(m_mutex);
    m_closed = true;
    for (Entry& entry : m_queue)
      if (entry.waiter) entry.waiter->done = true;
    dropped.swap(m_queue);
  }
  m_finished.notify_all();
  // Posted calls are destroyed outside the lock: what they free may take
  // a while, and must not call back in under it.
  dropped.clear();
}

// Called with the lock held, so the pipe cannot close meanwhile. A full
// pipe already holds a wake-up, so a failed write loses nothing.
void UiThreadCaller::Wake() {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(m_writeFd, &byte, 1);
}

bool UiThreadCaller::Call(const std::function<void()>& call) {
  if (!call) return false;
  if (std::this_thread::get_id() == m_owner) {
    call();
    return true;
  }
  Pending pending;
  pending.call = &call;
  std::unique_lock lock(m_mutex);
  if (m_closed || m_writeFd < 0) return false;
  m_queue.push_back(Entry{&pending, {}});
  ++m_callers;
  Wake();
  m_finished.wait(lock, [&pending] { return pending.done; });
  if (--m_callers == 0 && m_closed) m_finished.notify_all();
  return pending.ran;
}

bool UiThreadCaller::Post(std::function<void()> call) {
  if (!call) return false;
  const std::lock_guard lock(m_mutex);
  if (m_closed || m_writeFd < 0) return false;
  m_queue.push_back(Entry{nullptr, std::move(call)});
  Wake();
  return true;
}

void UiThreadCaller::RunPending() {
  char drain[64];
  while (read(m_readFd, drain, sizeof drain) > 0) {
  }
  for (;;) {
    Entry entry;
    {
      const std::lock_guard lock(m_mutex);
      if (m_queue.empty()) return;
      entry = std::move(m_queue.front());
      m_queue.pop_front();
    }
    if (!entry.waiter) {
      entry.posted();
      continue;
    }
    Pending* pending = entry.waiter;
    (*pending->call)();
    {
      // The waiting thread may leave as soon as this is set: no touching
      // `pending` afterwards.
      const std::lock_guard lock(m_mutex);
      pending->ran = true;
      pending->done = true;
    }
    m_finished.notify_all();
  }
}
