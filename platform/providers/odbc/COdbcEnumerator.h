// The ODBC enumerator: one sources row per data source name the driver
// manager knows, user and system alike.
#pragma once

#include <string>
#include <vector>

#include "ComObject.h"
#include "SourcesRowset.h"
#include "oledb.h"

class COdbcEnumerator : public ComObject<ISourcesRowset, ISupportErrorInfo> {
 public:
  // ISourcesRowset
  HRESULT STDMETHODCALLTYPE GetSourcesRowset(IUnknown* pUnkOuter, REFIID riid, ULONG cPropertySets,
                                             DBPROPSET rgProperties[], IUnknown** ppSourcesRowset) override;
  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
};

// The DSNs as sources rows: the name as name and parse name, the driver as
// description, each a data source of the ODBC provider. False when the
// driver manager cannot be loaded.
bool ListOdbcDataSources(std::vector<SourceRow>& rows);
