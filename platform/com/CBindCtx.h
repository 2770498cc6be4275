// The bind context CreateBindCtx makes: it holds a reference to every
// object registered as bound until those are released or it goes.
#pragma once

#include <vector>

#include "ComObject.h"
#include "ComPtr.h"
#include "objidl.h"

class CBindCtx : public ComObject<IBindCtx> {
 public:
  HRESULT STDMETHODCALLTYPE RegisterObjectBound(IUnknown* punk) override;
  HRESULT STDMETHODCALLTYPE RevokeObjectBound(IUnknown* punk) override;
  HRESULT STDMETHODCALLTYPE ReleaseBoundObjects() override;

 private:
  std::vector<ComPtr<IUnknown>> m_bound;
};
