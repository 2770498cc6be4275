#include <gtest/gtest.h>

#include <QApplication>
#include <QFileInfo>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "UiThreadCaller.h"

#include "UiFramework.h"

namespace {

class MessageBoxHookTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessageBoxHook([this](const MessageBoxCall& call) {
      calls.push_back(call);
      return answer;
    });
  }
  void TearDown() override { SetMessageBoxHook(nullptr); }
  std::vector<MessageBoxCall> calls;
  int answer = IDOK;
};

TEST_F(MessageBoxHookTest, FrameworkBoxesWithoutCaptionShowTheApplicationName) {
  const std::string appName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
  ASSERT_FALSE(appName.empty());
  EXPECT_EQ(AfxGetAppName(), appName.c_str());

  answer = IDYES;
  EXPECT_EQ(AfxMessageBox("Question?", MB_YESNO | MB_ICONQUESTION), IDYES);
  QWidget owner;
  CWnd window;
  window.Attach(&owner);
  answer = IDNO;
  EXPECT_EQ(window.MessageBox("Close current connection?", "Connect", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(window.MessageBox("Plain"), IDNO);

  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].caption, appName);
  EXPECT_EQ(calls[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(calls[1].owner, HwndFromWidget(&owner));
  EXPECT_EQ(calls[1].text, "Close current connection?");
  EXPECT_EQ(calls[1].caption, "Connect");
  EXPECT_EQ(calls[2].caption, appName);
  EXPECT_EQ(calls[2].type, MB_OK);
  window.Detach();
}

TEST_F(MessageBoxHookTest, TheSystemBoxWithoutCaptionShowsTheSystemDefault) {
  EXPECT_EQ(MessageBoxA(nullptr, "ErrorInfo not supported", nullptr, MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, "Source", MB_ICONERROR), IDOK);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].caption, "Error");
  EXPECT_EQ(calls[1].text, "");  // a null text shows as empty
  EXPECT_EQ(calls[1].caption, "Source");
  EXPECT_EQ(calls[1].type, MB_ICONERROR);
}

TEST(ShellServices, OpeningAnAddressGoesThroughTheHookAndUnknownVerbsFail) {
  std::vector<ShellExecuteCall> calls;
  SetShellExecuteHook([&](const ShellExecuteCall& call) {
    calls.push_back(call);
    return INT_PTR{42};
  });
  QWidget owner;
  HINSTANCE result = ShellExecuteA(HwndFromWidget(&owner), nullptr, "https://example.org/update", nullptr,
                                   nullptr, SW_SHOWMAXIMIZED);
  SetShellExecuteHook(nullptr);
  EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].owner, HwndFromWidget(&owner));
  EXPECT_EQ(calls[0].verb, "");
  EXPECT_EQ(calls[0].file, "https://example.org/update");
  EXPECT_EQ(calls[0].showCommand, SW_SHOWMAXIMIZED);

  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "print", "x.txt", nullptr, nullptr, SW_SHOW)),
            SE_ERR_NOASSOC);
  EXPECT_EQ(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", nullptr, nullptr, nullptr, SW_SHOW)),
            SE_ERR_FNF);
}

TEST(ShellServices, WaitCursorLastsForItsScopeAndCaretBlinkIsHalfTheFlashCycle) {
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  {
    CWaitCursor wait;
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  const int flash = QApplication::cursorFlashTime();
  EXPECT_EQ(GetCaretBlinkTime(), flash > 0 ? static_cast<UINT>(flash / 2) : INFINITE);
  EXPECT_TRUE(MessageBeep(MB_OK));
}

TEST(WindowHandles, MapBothWaysAndRejectStaleHandles) {
  auto* widget = new QWidget;
  const HWND handle = HwndFromWidget(widget);
  EXPECT_EQ(WidgetFromHwnd(handle), widget);
  EXPECT_TRUE(IsWindow(handle));
  CWnd object;
  ASSERT_TRUE(object.Attach(widget));
  EXPECT_EQ(CWnd::FromHandle(handle), &object);
  CWnd other;
  EXPECT_FALSE(other.Attach(widget));  // one object per widget
  delete widget;
  EXPECT_EQ(WidgetFromHwnd(handle), nullptr);
  EXPECT_FALSE(IsWindow(handle));
  EXPECT_FALSE(object.HasWindow());  // the object does not dangle
  EXPECT_EQ(object.GetSafeHwnd(), nullptr);
  object.SetWindowText("ignored");
  EXPECT_EQ(object.GetWindowTextLength(), 0);
  int local = 0;
  EXPECT_EQ(WidgetFromHwnd(&local), nullptr);
}

TEST(CStringOperations, FormatSearchSliceAndEdit) {
  CString s;
  s.Format("%s=%d;", "Size", 42);
  EXPECT_EQ(s, "Size=42;");
  EXPECT_EQ(s.GetLength(), 8);
  EXPECT_EQ(s.Find(';'), 7);
  EXPECT_EQ(s.Find('=', 5), -1);
  EXPECT_EQ(s.Find("42"), 5);
  EXPECT_EQ(s.Find("x", 99), -1);
  EXPECT_EQ(s.Left(4), "Size");
  EXPECT_EQ(s.Mid(5), "42;");
  EXPECT_EQ(s.Mid(5, 2), "42");
  EXPECT_EQ(s.Mid(50, 2), "");
  EXPECT_EQ(s.Right(3), "42;");
  EXPECT_EQ(s.Left(-1), "");

  s.SetAt(7, '\r');
  s.Insert(8, '\n');
  s.Insert(9, "\tNext");
  EXPECT_EQ(s, "Size=42\r\n\tNext");
  s.Delete(7, 3);
  EXPECT_EQ(s, "Size=42Next");
  EXPECT_EQ(s.Replace("Next", ""), 1);
  EXPECT_EQ(CString("a b a").Replace("a", "aa"), 2);
  EXPECT_EQ(CString("abc").MakeUpper(), "ABC");
  EXPECT_EQ(CString("  pad \t").Trim(), "pad");
  EXPECT_EQ(CString("x.y.z").ReverseFind('.'), 3);
  EXPECT_EQ(CString("Order").CompareNoCase("ORDER"), 0);
  EXPECT_TRUE(CString().IsEmpty());
  EXPECT_EQ(CString(nullptr), "");
  EXPECT_EQ("select * from " + CString("t") + ' ' + "desc", "select * from t desc");
  EXPECT_EQ(s[0], 'S');
  EXPECT_EQ(s.GetAt(100), '\0');

  CString buffer;
  std::strcpy(buffer.GetBuffer(16), "filled");
  buffer.ReleaseBuffer();
  EXPECT_EQ(buffer, "filled");
  EXPECT_EQ(buffer.GetLength(), 6);
}

// Callers still waiting when the caller object goes away are let go without
// their calls running, and it is gone only once they have left.
TEST(UiThreadCallerTest, DestructionReleasesWaitingCallersWithoutRunningTheirCalls) {
  auto caller = std::make_unique<UiThreadCaller>();
  UiThreadCaller* shared = caller.get();
  constexpr int kWorkers = 4;
  std::atomic<int> started = 0;
  std::atomic<int> ran = 0;
  std::atomic<int> refused = 0;
  std::vector<std::thread> workers;
  for (int i = 0; i < kWorkers; ++i)
    workers.emplace_back([&] {
      ++started;
      if (!shared->Call([&] { ++ran; })) ++refused;
    });
  while (started < kWorkers) std::this_thread::yield();
  // No events run here, so every call stays queued.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  caller.reset();
  for (std::thread& worker : workers) worker.join();
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(refused, kWorkers);
}

// Posted calls run later on the owning thread, in order with the calls
// that wait; posted calls never run are destroyed with what they hold.
TEST(UiThreadCallerTest, PostedCallsRunInOrderWithWaitingOnesAndAreDroppedUnrunOnClose) {
  auto caller = std::make_unique<UiThreadCaller>();
  std::vector<std::string> order;
  std::atomic<bool> waitingDone = false;
  std::thread worker([&] {
    caller->Post([&] { order.push_back("posted 1"); });
    caller->Post([&] { order.push_back("posted 2"); });
    caller->Call([&] { order.push_back("waited"); });
    waitingDone = true;
  });
  while (!waitingDone) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  worker.join();
  EXPECT_EQ(order, (std::vector<std::string>{"posted 1", "posted 2", "waited"}));

  // Queued from the owning thread too, and not run at once.
  caller->Post([&] { order.push_back("own thread"); });
  EXPECT_EQ(order.size(), 3u);
  for (int i = 0; i < 50 && order.size() < 4; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(order.back(), "own thread");

  auto held = std::make_shared<int>(1);
  std::weak_ptr<int> watch = held;
  caller->Post([held, &order] { order.push_back("never"); });
  held.reset();
  caller->Close();
  EXPECT_TRUE(watch.expired());
  EXPECT_FALSE(caller->Post([&] { order.push_back("refused"); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(order.size(), 4u);
}

}  // namespace
