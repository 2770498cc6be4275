// Reference counting and QueryInterface identity of ComObject-based objects.
#include <gtest/gtest.h>

#include "objbase.h"
#include "oleauto.h"

DECLARE_INTERFACE_IID(ITestBase, IUnknown, 0x11111111, 0x1111, 0x1111, 1, 1, 1, 1, 1, 1, 1, 1)
struct ITestBase : IUnknown {
  virtual int Base() = 0;
};
DECLARE_INTERFACE_IID(ITestDerived, ITestBase, 0x22222222, 0x2222, 0x2222, 2, 2, 2, 2, 2, 2, 2, 2)
struct ITestDerived : ITestBase {
  virtual int Derived() = 0;
};
DECLARE_INTERFACE_IID(ITestOther, IUnknown, 0x33333333, 0x3333, 0x3333, 3, 3, 3, 3, 3, 3, 3, 3)
struct ITestOther : IUnknown {
  virtual int Other() = 0;
};

namespace {

int g_destroyed = 0;

class CTestObject : public ComObject<ITestDerived, ITestOther> {
 public:
  int Base() override { return 1; }
  int Derived() override { return 2; }
  int Other() override { return 3; }

 protected:
  ~CTestObject() override { ++g_destroyed; }
};

HRESULT MakeObject(ComPtr<ITestDerived>& out) {
  using Base = ComObject<ITestDerived, ITestOther>;
  return Base::CreateInstance<CTestObject>(IID_ITestDerived, out.ReleaseAndGetVoidAddress());
}

class ComObjectTest : public ::testing::Test {
 protected:
  void SetUp() override { g_destroyed = 0; }
};

TEST_F(ComObjectTest, ReleasedExactlyOnceAfterBalancedReferences) {
  ComPtr<ITestOther> other;
  {
    ComPtr<ITestDerived> derived;
    ASSERT_EQ(MakeObject(derived), S_OK);
    ASSERT_EQ(derived.As(&other), S_OK);
    ComPtr<ITestDerived> copy = derived;
    EXPECT_EQ(g_destroyed, 0);
  }
  EXPECT_EQ(g_destroyed, 0);
  EXPECT_EQ(other->Other(), 3);
  other.Reset();
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(ComObjectTest, FailedCreationQueryFreesTheObject) {
  void* p = reinterpret_cast<void*>(1);
  HRESULT hr = ComObject<ITestDerived>::CreateInstance<CTestObject>(IID_IMalloc, &p);
  EXPECT_EQ(hr, E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(g_destroyed, 1);
}

TEST_F(ComObjectTest, QueryInterfaceFollowsIdentityRules) {
  ComPtr<ITestDerived> derived;
  ASSERT_EQ(MakeObject(derived), S_OK);
  // An ancestor interface is answered and is the same object.
  ComPtr<ITestBase> base = derived.As<ITestBase>();
  ASSERT_TRUE(base);
  EXPECT_EQ(base->Base(), 1);
  // IUnknown is the same pointer whichever interface it is asked from.
  ComPtr<IUnknown> unk1 = derived.As<IUnknown>();
  ComPtr<IUnknown> unk2 = derived.As<ITestOther>().As<IUnknown>();
  EXPECT_EQ(unk1.Get(), unk2.Get());
  // Symmetric and transitive: Other -> Derived gives back a working Derived.
  EXPECT_EQ(derived.As<ITestOther>().As<ITestDerived>()->Derived(), 2);
  // Unknown interface: E_NOINTERFACE and a null out-pointer.
  void* p = reinterpret_cast<void*>(1);
  EXPECT_EQ(derived->QueryInterface(IID_IMalloc, &p), E_NOINTERFACE);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(derived->QueryInterface(IID_ITestOther, nullptr), E_POINTER);
}

TEST_F(ComObjectTest, ComPtrAddressOfReleasesWhatItHeld) {
  ComPtr<ITestDerived> p;
  ASSERT_EQ(MakeObject(p), S_OK);
  ITestDerived** slot = &p;
  EXPECT_EQ(g_destroyed, 1);
  EXPECT_EQ(*slot, nullptr);
}

}  // namespace
