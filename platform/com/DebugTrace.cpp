// The debug trace: the debugger's output channel becomes standard error,
// unless a sink (the user interface's log channel, or a test) takes it.
#include <atomic>
#include <cstdio>

#include "stringapiset.h"

namespace {
std::atomic<DebugTraceSink> g_sink{nullptr};
}

DebugTraceSink SetDebugTraceSink(DebugTraceSink sink) { return g_sink.exchange(sink); }

void OutputDebugStringA(LPCSTR text) {
  if (!text) return;
  if (DebugTraceSink sink = g_sink.load()) {
    sink(text);
    return;
  }
  std::fputs(text, stderr);
}
