// This process's resident memory, for benchmarks that report what a read
// keeps or peaks at.
#pragma once

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

// A field of /proc/self/status in kilobytes ("VmRSS:", "VmHWM:").
inline long StatusKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  return 0;
}

// Starts a new peak for VmHWM.
inline void ResetPeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
