// The ODBC enumerator: one sources row per data source name the driver
// manager knows, user and system alike. A row's parse name (the name
// itself) parses into a moniker that binds to a data source of the ODBC
// provider for that name.
#pragma once

#include <string>
#include <vector>

#include "ComObject.h"
#include "SourcesRowset.h"
#include "objidl.h"
#include "oledb.h"

class COdbcEnumerator : public ComObject<ISourcesRowset, IParseDisplayName, ISupportErrorInfo> {
 public:
  // ISourcesRowset
  HRESULT STDMETHODCALLTYPE GetSourcesRowset(IUnknown* pUnkOuter, REFIID riid, ULONG cPropertySets,
                                             DBPROPSET rgProperties[], IUnknown** ppSourcesRowset) override;
  // IParseDisplayName: a name that is no data source name of the machine
  // fails with MK_E_NOOBJECT and an error record.
  HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx* pbc, LPOLESTR pszDisplayName, ULONG* pchEaten,
                                             IMoniker** ppmkOut) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
};

// The DSNs as sources rows: the name as name and parse name, the driver as
// description, each a data source of the ODBC provider. False when the
// driver manager cannot be loaded.
bool ListOdbcDataSources(std::vector<SourceRow>& rows);
