#include "HandOverGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

TEST(HandOverGate, TheReaderWaitsOnlyWhileTooMuchIsOnItsWayAndNotOnceOpened) {
  HandOverGate gate;
  gate.Enter(30);
  gate.WaitUntilAtMost(30);  // at the limit: no wait
  gate.Enter(10);
  std::atomic<bool> through = false;
  std::thread reader([&] {
    gate.WaitUntilAtMost(30);
    through = true;
  });
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(through);
  gate.Leave(5);  // 35 still on their way
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(through);
  gate.Leave(5);
  reader.join();
  EXPECT_TRUE(through);
  EXPECT_EQ(gate.InFlight(), 30u);

  // A list that takes no more rows never answers: opening lets the reader go.
  gate.Enter(100);
  std::thread stuck([&] { gate.WaitUntilAtMost(0); });
  std::this_thread::sleep_for(10ms);
  gate.Open();
  stuck.join();
  gate.WaitUntilAtMost(0);
  gate.Leave(1000);  // more than entered counts as none left
  EXPECT_EQ(gate.InFlight(), 0u);
}

}  // namespace
