// The task allocator: memory that crosses interfaces.
#include <malloc.h>

#include <cstdlib>

#include "objbase.h"

LPVOID CoTaskMemAlloc(size_t cb) { return std::malloc(cb ? cb : 1); }

LPVOID CoTaskMemRealloc(LPVOID pv, size_t cb) {
  if (cb == 0) {
    std::free(pv);
    return nullptr;
  }
  return std::realloc(pv, cb);
}

void CoTaskMemFree(LPVOID pv) { std::free(pv); }

namespace {

class CTaskMalloc final : public IMalloc {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IMalloc) {
      *ppv = static_cast<IMalloc*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  // One process-wide object: references are not counted.
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  void* STDMETHODCALLTYPE Alloc(size_t cb) override { return CoTaskMemAlloc(cb); }
  void* STDMETHODCALLTYPE Realloc(void* pv, size_t cb) override { return CoTaskMemRealloc(pv, cb); }
  void STDMETHODCALLTYPE Free(void* pv) override { CoTaskMemFree(pv); }
  size_t STDMETHODCALLTYPE GetSize(void* pv) override {
    return pv ? malloc_usable_size(pv) : static_cast<size_t>(-1);
  }
  int STDMETHODCALLTYPE DidAlloc(void* pv) override { return pv ? -1 : 0; }
  void STDMETHODCALLTYPE HeapMinimize() override {}
};

}  // namespace

HRESULT CoGetMalloc(DWORD dwMemContext, IMalloc** ppMalloc) {
  if (!ppMalloc) return E_INVALIDARG;
  *ppMalloc = nullptr;
  if (dwMemContext != MEMCTX_TASK) return E_INVALIDARG;
  static CTaskMalloc s_malloc;
  *ppMalloc = &s_malloc;
  return S_OK;
}
