#include "COdbcDsnMoniker.h"

#include <cstring>

#include "ComPtr.h"
#include "OdbcProvider.h"
#include "objbase.h"
#include "oleauto.h"
#include "oledb.h"

HRESULT COdbcDsnMoniker::BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult, void** ppvResult) {
  if (!ppvResult) return E_INVALIDARG;
  *ppvResult = nullptr;
  // A data source name stands alone: nothing composes to its left.
  if (pmkToLeft) return E_INVALIDARG;
  ComPtr<IDBProperties> properties;
  HRESULT hr = CreateOdbcDataSource(IID_IDBProperties, reinterpret_cast<void**>(&properties));
  if (FAILED(hr)) return hr;
  DBPROP dsn{};
  dsn.dwPropertyID = DBPROP_INIT_DATASOURCE;
  dsn.vValue.vt = VT_BSTR;
  dsn.vValue.bstrVal = SysAllocStringLen(m_dsn.data(), static_cast<UINT>(m_dsn.size()));
  DBPROPSET set{&dsn, 1, DBPROPSET_DBINIT};
  hr = properties->SetProperties(1, &set);
  VariantClear(&dsn.vValue);
  if (FAILED(hr)) return hr;
  if (pbc) pbc->RegisterObjectBound(properties.Get());
  return properties->QueryInterface(riidResult, ppvResult);
}

HRESULT COdbcDsnMoniker::GetDisplayName(IBindCtx*, IMoniker* pmkToLeft, LPOLESTR* ppszDisplayName) {
  if (!ppszDisplayName) return E_INVALIDARG;
  *ppszDisplayName = nullptr;
  if (pmkToLeft) return E_INVALIDARG;
  const size_t bytes = (m_dsn.size() + 1) * sizeof(OLECHAR);
  auto* name = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
  if (!name) return E_OUTOFMEMORY;
  std::memcpy(name, m_dsn.c_str(), bytes);
  *ppszDisplayName = name;
  return S_OK;
}
