#include "CBindCtx.h"

#include <algorithm>

HRESULT CBindCtx::RegisterObjectBound(IUnknown* punk) {
  if (!punk) return E_INVALIDARG;
  m_bound.emplace_back(punk);
  return S_OK;
}

HRESULT CBindCtx::RevokeObjectBound(IUnknown* punk) {
  if (!punk) return E_INVALIDARG;
  const auto found = std::find_if(m_bound.begin(), m_bound.end(), [&](const auto& held) { return held.Get() == punk; });
  if (found == m_bound.end()) return MK_E_NOOBJECT;
  m_bound.erase(found);
  return S_OK;
}

HRESULT CBindCtx::ReleaseBoundObjects() {
  m_bound.clear();
  return S_OK;
}

HRESULT CreateBindCtx(DWORD reserved, IBindCtx** ppbc) {
  if (!ppbc) return E_INVALIDARG;
  *ppbc = nullptr;
  if (reserved != 0) return E_INVALIDARG;
  return CBindCtx::CreateInstance<CBindCtx>(IID_IBindCtx, reinterpret_cast<void**>(ppbc));
}

HRESULT BindMoniker(IMoniker* pmk, DWORD grfOpt, REFIID iidResult, LPVOID* ppvResult) {
  if (!ppvResult) return E_INVALIDARG;
  *ppvResult = nullptr;
  if (!pmk || grfOpt != 0) return E_INVALIDARG;
  ComPtr<IBindCtx> context;
  HRESULT hr = CreateBindCtx(0, &context);
  if (FAILED(hr)) return hr;
  hr = pmk->BindToObject(context.Get(), nullptr, iidResult, ppvResult);
  context->ReleaseBoundObjects();
  return hr;
}
