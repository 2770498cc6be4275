// The moniker of one ODBC data source name, as the ODBC enumerator parses
// a sources row's parse name: it binds to a new, uninitialized data source
// of the ODBC provider whose "Data Source" is that name.
#pragma once

#include <string>

#include "ComObject.h"
#include "objidl.h"

class COdbcDsnMoniker : public ComObject<IMoniker> {
 public:
  explicit COdbcDsnMoniker(std::u16string dsn) : m_dsn(std::move(dsn)) {}

  HRESULT STDMETHODCALLTYPE BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                                         void** ppvResult) override;
  HRESULT STDMETHODCALLTYPE GetDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR* ppszDisplayName) override;

 private:
  std::u16string m_dsn;
};
