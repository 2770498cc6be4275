// Binding a moniker: BindMoniker hands the moniker a bind context of its
// own that keeps what the binding registered alive until the binding ends,
// then lets go of it; bad arguments fail without a result.
#include <gtest/gtest.h>

#include "objbase.h"

namespace {

int g_alive = 0;

class CCounted : public ComObject<IPersist> {
 public:
  CCounted() { ++g_alive; }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* id) override {
    *id = GUID_NULL;
    return S_OK;
  }

 protected:
  ~CCounted() override { --g_alive; }
};

// Binds to a new counted object; registers a second one as bound for the
// length of the binding only.
class CTestMoniker : public ComObject<IMoniker> {
 public:
  HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* pbc, IMoniker* left, REFIID riid, void** ppv) override {
    context = pbc;
    if (left) return E_INVALIDARG;
    ComPtr<IPersist> helper;
    ComObject<IPersist>::CreateInstance<CCounted>(IID_IPersist, reinterpret_cast<void**>(&helper));
    pbc->RegisterObjectBound(helper.Get());
    aliveDuringBind = g_alive;
    return ComObject<IPersist>::CreateInstance<CCounted>(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* name) override {
    *name = nullptr;
    return E_NOTIMPL;
  }
  IBindCtx* context = nullptr;  // not held: only compared
  int aliveDuringBind = 0;
};

TEST(BindMoniker, BindsInAContextOfItsOwnThatReleasesWhatTheBindingRegistered) {
  ComPtr<IMoniker> moniker;
  ASSERT_EQ(ComObject<IMoniker>::CreateInstance<CTestMoniker>(IID_IMoniker, reinterpret_cast<void**>(&moniker)), S_OK);
  auto* test = static_cast<CTestMoniker*>(moniker.Get());
  ComPtr<IPersist> bound;
  ASSERT_EQ(BindMoniker(moniker.Get(), 0, IID_IPersist, reinterpret_cast<void**>(&bound)), S_OK);
  EXPECT_NE(test->context, nullptr);
  EXPECT_EQ(test->aliveDuringBind, 1);  // the helper
  EXPECT_EQ(g_alive, 1);  // the helper went with the binding, the result stays
  bound = nullptr;
  EXPECT_EQ(g_alive, 0);

  void* out = &out;
  EXPECT_EQ(BindMoniker(moniker.Get(), 1, IID_IPersist, &out), E_INVALIDARG);
  EXPECT_EQ(out, nullptr);
  out = &out;
  EXPECT_EQ(BindMoniker(nullptr, 0, IID_IPersist, &out), E_INVALIDARG);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(BindMoniker(moniker.Get(), 0, IID_IPersist, nullptr), E_INVALIDARG);
  // The moniker's own failure comes back, with nothing bound.
  out = &out;
  EXPECT_EQ(BindMoniker(moniker.Get(), 0, IID_IMoniker, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(g_alive, 0);
}

TEST(CreateBindCtx, HoldsBoundObjectsUntilRevokedReleasedOrGone) {
  ComPtr<IBindCtx> context;
  EXPECT_EQ(CreateBindCtx(1, &context), E_INVALIDARG);
  EXPECT_FALSE(context);
  ASSERT_EQ(CreateBindCtx(0, &context), S_OK);
  ComPtr<IPersist> a, b;
  ComObject<IPersist>::CreateInstance<CCounted>(IID_IPersist, reinterpret_cast<void**>(&a));
  ComObject<IPersist>::CreateInstance<CCounted>(IID_IPersist, reinterpret_cast<void**>(&b));
  EXPECT_EQ(context->RegisterObjectBound(a.Get()), S_OK);
  EXPECT_EQ(context->RegisterObjectBound(b.Get()), S_OK);
  EXPECT_EQ(context->RegisterObjectBound(nullptr), E_INVALIDARG);
  a = nullptr;
  b = nullptr;
  EXPECT_EQ(g_alive, 2);

  ComPtr<IPersist> stranger;
  ComObject<IPersist>::CreateInstance<CCounted>(IID_IPersist, reinterpret_cast<void**>(&stranger));
  EXPECT_EQ(context->RevokeObjectBound(stranger.Get()), MK_E_NOOBJECT);
  EXPECT_EQ(context->RegisterObjectBound(stranger.Get()), S_OK);
  EXPECT_EQ(context->RevokeObjectBound(stranger.Get()), S_OK);
  stranger = nullptr;
  EXPECT_EQ(g_alive, 2);  // the revoked one went; the other two are held

  EXPECT_EQ(context->ReleaseBoundObjects(), S_OK);
  EXPECT_EQ(g_alive, 0);
  ComObject<IPersist>::CreateInstance<CCounted>(IID_IPersist, reinterpret_cast<void**>(&a));
  context->RegisterObjectBound(a.Get());
  a = nullptr;
  context = nullptr;  // the context going releases what it still holds
  EXPECT_EQ(g_alive, 0);
}

}  // namespace
