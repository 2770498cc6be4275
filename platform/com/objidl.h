// Monikers: a name that binds to the object it names, the bind context a
// binding runs in, and the parsing of display names into monikers. Only
// the part of these interfaces the platform uses is declared: a moniker
// binds to its object and tells its display name.
#pragma once

#include "unknwn.h"
#include "wtypes.h"

constexpr HRESULT MK_E_SYNTAX = (HRESULT)0x800401E4;
constexpr HRESULT MK_E_NOOBJECT = (HRESULT)0x800401E5;

// Keeps the objects bound during one binding alive until it ends.
DECLARE_INTERFACE_IID(IBindCtx, IUnknown, 0x0000000E, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x46)
struct IBindCtx : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE RegisterObjectBound(IUnknown* punk) = 0;
  virtual HRESULT STDMETHODCALLTYPE RevokeObjectBound(IUnknown* punk) = 0;
  virtual HRESULT STDMETHODCALLTYPE ReleaseBoundObjects() = 0;
};
typedef IBindCtx* LPBC;

DECLARE_INTERFACE_IID(IMoniker, IUnknown, 0x0000000F, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x46)
struct IMoniker : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                                                 void** ppvResult) = 0;
  // The name in task memory, freed by the caller with CoTaskMemFree.
  virtual HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft,
                                                   LPOLESTR* ppszDisplayName) = 0;
};
typedef IMoniker* LPMONIKER;

DECLARE_INTERFACE_IID(IParseDisplayName, IUnknown, 0x0000011A, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
                      0x00, 0x46)
struct IParseDisplayName : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* pbc, LPOLESTR pszDisplayName, ULONG* pchEaten,
                                                     IMoniker** ppmkOut) = 0;
};

// A new, empty bind context; `reserved` must be 0.
HRESULT CreateBindCtx(DWORD reserved, IBindCtx** ppbc);
// Binds `pmk` to its object in a bind context of its own, released when
// the binding ends; `grfOpt` must be 0.
HRESULT BindMoniker(IMoniker* pmk, DWORD grfOpt, REFIID iidResult, LPVOID* ppvResult);
