// Creation through the class registry and per-thread initialization.
#include <gtest/gtest.h>

#include <thread>

#include "ClassRegistry.h"
#include "objbase.h"

namespace {

constexpr CLSID kTestClsid = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

struct CoInit {
  CoInit() { CoInitialize(nullptr); }
  ~CoInit() { CoUninitialize(); }
};

ClassEntry MallocClass(const char* progId) {
  return {kTestClsid, progId, "test class", ClassKind::Service,
          [](REFIID riid, void** ppv) {
            IMalloc* m = nullptr;
            CoGetMalloc(MEMCTX_TASK, &m);
            return m->QueryInterface(riid, ppv);
          }};
}

TEST(ApartmentTest, CreationNeedsAnInitializedThread) {
  CScopedClassRegistration reg(MallocClass("Test.Malloc"));
  void* p = nullptr;
  std::thread([&] {
    EXPECT_EQ(CoCreateInstance(kTestClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IMalloc, &p),
              CO_E_NOTINITIALIZED);
  }).join();
  CoInit init;
  EXPECT_EQ(CoCreateInstance(kTestClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IMalloc, &p), S_OK);
  EXPECT_NE(p, nullptr);
}

TEST(ApartmentTest, UnknownClassAggregationAndContext) {
  CoInit init;
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(CoCreateInstance(kTestClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(p, nullptr);
  CScopedClassRegistration reg(MallocClass("Test.Malloc"));
  IMalloc* outer = nullptr;
  CoGetMalloc(MEMCTX_TASK, &outer);
  EXPECT_EQ(CoCreateInstance(kTestClsid, outer, CLSCTX_INPROC_SERVER, IID_IUnknown, &p),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(CoCreateInstance(kTestClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, nullptr),
            E_POINTER);
}

TEST(ApartmentTest, ScopedRegistrationOverridesAndRestores) {
  CScopedClassRegistration outer(MallocClass("Test.First"));
  {
    CScopedClassRegistration inner(MallocClass("Test.Second"));
    EXPECT_EQ(CClassRegistry::Instance().Find(kTestClsid)->progId, "Test.Second");
    CLSID found{};
    EXPECT_EQ(CLSIDFromString(u"test.second", &found), S_OK);
    EXPECT_EQ(found, kTestClsid);
  }
  EXPECT_EQ(CClassRegistry::Instance().Find(kTestClsid)->progId, "Test.First");
}

TEST(ApartmentTest, TaskAllocatorRoundTrip) {
  IMalloc* m = nullptr;
  ASSERT_EQ(CoGetMalloc(MEMCTX_TASK, &m), S_OK);
  void* p = m->Alloc(10);
  ASSERT_NE(p, nullptr);
  EXPECT_GE(m->GetSize(p), 10u);
  p = CoTaskMemRealloc(p, 100);
  ASSERT_NE(p, nullptr);
  CoTaskMemFree(p);
  CoTaskMemFree(nullptr);
  EXPECT_EQ(CoGetMalloc(0, &m), E_INVALIDARG);
}

}  // namespace
