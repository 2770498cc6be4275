// The thread's error object is handed over, not copied, and is per thread.
#include <gtest/gtest.h>

#include <thread>

#include "oleauto.h"

namespace {

int g_live = 0;

class CFakeError : public ComObject<IErrorInfo> {
 public:
  CFakeError() { ++g_live; }
  HRESULT GetGUID(GUID* g) override { *g = GUID_NULL; return S_OK; }
  HRESULT GetSource(BSTR* s) override { *s = SysAllocString(u"src"); return S_OK; }
  HRESULT GetDescription(BSTR* s) override { *s = SysAllocString(u"desc"); return S_OK; }
  HRESULT GetHelpFile(BSTR* s) override { *s = nullptr; return S_OK; }
  HRESULT GetHelpContext(DWORD* c) override { *c = 0; return S_OK; }

 protected:
  ~CFakeError() override { --g_live; }
};

TEST(ErrorSlotTest, GetHandsReferenceOverAndClearsSlot) {
  auto* error = new CFakeError;  // count 1, ours
  SetErrorInfo(0, error);
  error->Release();  // the slot keeps it alive
  EXPECT_EQ(g_live, 1);
  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  EXPECT_EQ(got, error);
  IErrorInfo* again = reinterpret_cast<IErrorInfo*>(1);
  EXPECT_EQ(GetErrorInfo(0, &again), S_FALSE);
  EXPECT_EQ(again, nullptr);
  got->Release();
  EXPECT_EQ(g_live, 0);
}

TEST(ErrorSlotTest, SettingReplacesAndReleasesThePrevious) {
  auto* first = new CFakeError;
  SetErrorInfo(0, first);
  first->Release();
  auto* second = new CFakeError;
  SetErrorInfo(0, second);
  second->Release();
  EXPECT_EQ(g_live, 1);
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(g_live, 0);
}

TEST(ErrorSlotTest, SlotsArePerThreadAndFreedWithTheThread) {
  auto* error = new CFakeError;
  SetErrorInfo(0, error);
  error->Release();
  std::thread([] {
    IErrorInfo* other = nullptr;
    EXPECT_EQ(GetErrorInfo(0, &other), S_FALSE);
    auto* mine = new CFakeError;
    SetErrorInfo(0, mine);
    mine->Release();
  }).join();
  EXPECT_EQ(g_live, 1);  // the other thread's object went with its thread
  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  EXPECT_EQ(got, error);
  got->Release();
}

}  // namespace
