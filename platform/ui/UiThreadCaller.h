// Runs calls from worker threads on the thread that owns a widget, the way
// a message sent across threads runs on the receiver's thread while the
// sender waits (Call), or the way a posted message runs later while the
// sender goes on (Post); both run in the order they were made. The hand-off
// uses standard locks (and a pipe to wake the event loop), so no object of
// the event system crosses threads and thread checkers see every
// handed-over byte synchronised.
#pragma once

#include <QSocketNotifier>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class UiThreadCaller {
 public:
  // Made on the thread that will run the calls; its event loop runs them.
  UiThreadCaller();
  // Releases every waiting caller; their calls do not run.
  ~UiThreadCaller();
  UiThreadCaller(const UiThreadCaller&) = delete;
  UiThreadCaller& operator=(const UiThreadCaller&) = delete;

  // Runs `call` on the owning thread: at once when already there, else
  // waiting until it has run. False when it could not run (no pipe, or the
  // caller object was destroyed first).
  bool Call(const std::function<void()>& call);
  // Queues `call` to run on the owning thread and returns at once (on the
  // owning thread too: it runs from the event loop). The call is destroyed
  // unrun when the caller closes first; it then frees what it holds on
  // the closing thread. False when it was refused.
  bool Post(std::function<void()> call);
  // Releases every waiting caller and refuses later calls, as destruction
  // does, for an owner that must wait for its callers to finish.
  void Close();

 private:
  struct Pending {
    const std::function<void()>* call = nullptr;
    bool done = false;
    bool ran = false;
  };
  // A waiting caller's call, or a posted one the queue owns.
  struct Entry {
    Pending* waiter = nullptr;
    std::function<void()> posted;
  };

  void RunPending();
  void Wake();

  std::thread::id m_owner;
  int m_readFd = -1;
  int m_writeFd = -1;
  std::unique_ptr<QSocketNotifier> m_notifier;
  std::mutex m_mutex;
  std::condition_variable m_finished;
  std::deque<Entry> m_queue;
  bool m_closed = false;
  // Callers still inside Call: destruction waits until they have left, as
  // they relock the mutex on their way out.
  int m_callers = 0;
};
