// How code off the user-interface thread gets list changes made: it hands
// the work to a caller that runs it on that thread and waits until done.
// An empty call runs the work where it is (the caller is that thread).
#pragma once

#include <functional>

using UiThreadCall = std::function<void(const std::function<void()>& work)>;

inline void RunOnUiThread(const UiThreadCall& call, const std::function<void()>& work) {
  if (call)
    call(work);
  else
    work();
}
