// The component model: apartments, class creation, GUID text, task allocator.
#pragma once

#include "ComObject.h"
#include "ComPtr.h"
#include "objidl.h"
#include "stringapiset.h"
#include "unknwn.h"
#include "wtypes.h"

enum CLSCTX : DWORD {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_INPROC_HANDLER = 0x2,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
  CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
  CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
               CLSCTX_REMOTE_SERVER,
};

enum MEMCTX { MEMCTX_TASK = 1 };

DECLARE_INTERFACE_IID(IMalloc, IUnknown, 0x00000002, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00,
                      0x00, 0x00, 0x00, 0x46)
struct IMalloc : IUnknown {
  virtual void* STDMETHODCALLTYPE Alloc(size_t cb) = 0;
  virtual void* STDMETHODCALLTYPE Realloc(void* pv, size_t cb) = 0;
  virtual void STDMETHODCALLTYPE Free(void* pv) = 0;
  virtual size_t STDMETHODCALLTYPE GetSize(void* pv) = 0;
  virtual int STDMETHODCALLTYPE DidAlloc(void* pv) = 0;
  virtual void STDMETHODCALLTYPE HeapMinimize() = 0;
};
typedef IMalloc* LPMALLOC;

// Tells an object's class; service components use it to name a data
// source's provider.
DECLARE_INTERFACE_IID(IPersist, IUnknown, 0x0000010C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00,
                      0x00, 0x00, 0x00, 0x46)
struct IPersist : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetClassID(CLSID* pClassID) = 0;
};

DECLARE_INTERFACE_IID(IClassFactory, IUnknown, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00,
                      0x00, 0x00, 0x00, 0x00, 0x46)

// Apartments: one count per thread; creation needs an initialized thread.
HRESULT CoInitialize(LPVOID pvReserved);
HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
void CoUninitialize();

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv);

// Task allocator.
LPVOID CoTaskMemAlloc(size_t cb);
LPVOID CoTaskMemRealloc(LPVOID pv, size_t cb);
void CoTaskMemFree(LPVOID pv);
HRESULT CoGetMalloc(DWORD dwMemContext, IMalloc** ppMalloc);

// GUID text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", 38 characters.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
HRESULT IIDFromString(LPCOLESTR lpsz, IID* piid);
HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID pclsid);
