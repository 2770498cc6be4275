// Per-thread initialization and in-process creation.
#include "ClassRegistry.h"
#include "objbase.h"

namespace {
thread_local int t_initCount = 0;
}

HRESULT CoInitializeEx(LPVOID /*pvReserved*/, DWORD /*dwCoInit*/) {
  return t_initCount++ == 0 ? S_OK : S_FALSE;
}

HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, 0); }

void CoUninitialize() {
  if (t_initCount > 0) --t_initCount;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (t_initCount == 0) return CO_E_NOTINITIALIZED;
  if (pUnkOuter) return CLASS_E_NOAGGREGATION;
  if (!(dwClsContext & CLSCTX_INPROC_SERVER)) return REGDB_E_CLASSNOTREG;
  auto entry = CClassRegistry::Instance().Find(rclsid);
  if (!entry || !entry->factory) return REGDB_E_CLASSNOTREG;
  HRESULT hr = entry->factory(riid, ppv);
  if (FAILED(hr)) *ppv = nullptr;
  return hr;
}
