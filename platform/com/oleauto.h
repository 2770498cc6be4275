// OLE Automation: BSTR, VARIANT, and the thread's error object.
#pragma once

#include "objbase.h"
#include "wtypes.h"

BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

void VariantInit(VARIANTARG* pvarg);
HRESULT VariantClear(VARIANTARG* pvarg);
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);

#define VARIANT_NOVALUEPROP 0x1
#define VARIANT_ALPHABOOL 0x2
#define VARIANT_NOUSEROVERRIDE 0x4
#define VARIANT_LOCALBOOL 0x10

// Converts with the Automation rules: to VT_BSTR integers are written in
// decimal, booleans as "-1" and "0", floating point in the C locale's
// shortest round-trip form, VT_EMPTY as empty text; values without a text
// form fail with DISP_E_TYPEMISMATCH. Text converts to the numeric and
// boolean types when it parses whole. Source and destination may be the same.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt);
HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid,
                            USHORT wFlags, VARTYPE vt);

DECLARE_INTERFACE_IID(IErrorInfo, IUnknown, 0x1CF2B120, 0x547D, 0x101B, 0x8E, 0x65, 0x08, 0x00,
                      0x2B, 0x2B, 0xD1, 0x19)
struct IErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetGUID(GUID* pGUID) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetSource(BSTR* pBstrSource) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDescription(BSTR* pBstrDescription) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* pBstrHelpFile) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* pdwHelpContext) = 0;
};

DECLARE_INTERFACE_IID(ISupportErrorInfo, IUnknown, 0xDF0B3D60, 0x548F, 0x101B, 0x8E, 0x65, 0x08,
                      0x00, 0x2B, 0x2B, 0xD1, 0x19)
struct ISupportErrorInfo : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) = 0;
};

// The thread's error object: SetErrorInfo keeps a reference (releasing the
// previous one); GetErrorInfo hands that reference to the caller and clears
// the slot, returning S_FALSE when there is none.
HRESULT SetErrorInfo(ULONG dwReserved, IErrorInfo* perrinfo);
HRESULT GetErrorInfo(ULONG dwReserved, IErrorInfo** pperrinfo);

LCID GetUserDefaultLCID();
