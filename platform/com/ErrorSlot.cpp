// The thread's error object.
#include "oleauto.h"

namespace {

// Holds the thread's reference; released when the thread ends.
struct ThreadErrorSlot {
  IErrorInfo* info = nullptr;
  ~ThreadErrorSlot() {
    if (info) info->Release();
  }
};

thread_local ThreadErrorSlot t_slot;

}  // namespace

HRESULT SetErrorInfo(ULONG /*dwReserved*/, IErrorInfo* perrinfo) {
  if (perrinfo) perrinfo->AddRef();
  IErrorInfo* previous = t_slot.info;
  t_slot.info = perrinfo;
  if (previous) previous->Release();
  return S_OK;
}

HRESULT GetErrorInfo(ULONG /*dwReserved*/, IErrorInfo** pperrinfo) {
  if (!pperrinfo) return E_INVALIDARG;
  *pperrinfo = t_slot.info;
  t_slot.info = nullptr;
  return *pperrinfo ? S_OK : S_FALSE;
}

LCID GetUserDefaultLCID() { return 0x0409; }
