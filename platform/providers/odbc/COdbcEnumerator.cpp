#include "COdbcEnumerator.h"

#include <algorithm>

#include "COdbcDsnMoniker.h"
#include "COdbcHandle.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcProvider.h"
#include "stringapiset.h"

namespace {

// More DSNs than anyone configures; the loop ends even if a driver manager
// never reports the end.
constexpr int kMaxSources = 10000;

}  // namespace

bool ListOdbcDataSources(std::vector<SourceRow>& rows) {
  COdbcHandle env;
  if (!env.Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE)) return false;
  SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (int i = 0; i < kMaxSources; ++i) {
    SQLWCHAR name[SQL_MAX_DSN_LENGTH + 1];
    SQLWCHAR driver[512];
    SQLSMALLINT nameLength = 0, driverLength = 0;
    SQLRETURN rc = SQLDataSourcesW(env.Get(), direction, name, static_cast<SQLSMALLINT>(std::size(name)), &nameLength,
                                   driver, static_cast<SQLSMALLINT>(std::size(driver)), &driverLength);
    if (!OdbcOk(rc)) break;
    direction = SQL_FETCH_NEXT;
    std::string dsn = OleToAnsi(FromOdbcText(name, std::min<size_t>(nameLength, std::size(name) - 1)));
    std::string description = OleToAnsi(FromOdbcText(driver, std::min<size_t>(driverLength, std::size(driver) - 1)));
    rows.push_back({dsn, dsn, description, DBSOURCETYPE_DATASOURCE_TDP, false});
  }
  return true;
}

HRESULT COdbcEnumerator::GetSourcesRowset(IUnknown* pUnkOuter, REFIID riid, ULONG cPropertySets,
                                          DBPROPSET rgProperties[], IUnknown** ppSourcesRowset) {
  ClearErrorInfo();
  if (!ppSourcesRowset) return E_INVALIDARG;
  *ppSourcesRowset = nullptr;
  if (cPropertySets && !rgProperties) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  bool required = false;
  for (ULONG i = 0; i < cPropertySets; ++i)
    for (ULONG j = 0; j < rgProperties[i].cProperties; ++j) {
      rgProperties[i].rgProperties[j].dwStatus = DBPROPSTATUS_NOTSUPPORTED;
      required = required || rgProperties[i].rgProperties[j].dwOptions == DBPROPOPTIONS_REQUIRED;
    }
  if (required)
    return PostError(DB_E_ERRORSOCCURRED, CLSID_RavezovODBCEnumerator, IID_ISourcesRowset, kOdbcErrorSource,
                     "The sources rowset supports no rowset properties.");
  std::vector<SourceRow> rows;
  if (!ListOdbcDataSources(rows))
    return PostError(E_FAIL, CLSID_RavezovODBCEnumerator, IID_ISourcesRowset, kOdbcErrorSource,
                     "The ODBC driver manager could not be loaded.");
  return CreateSourcesRowset(rows, Identity(), CLSID_RavezovODBCEnumerator, std::u16string(kOdbcErrorSource), riid,
                             ppSourcesRowset);
}

HRESULT COdbcEnumerator::ParseDisplayName(IBindCtx*, LPOLESTR pszDisplayName, ULONG* pchEaten, IMoniker** ppmkOut) {
  ClearErrorInfo();
  if (pchEaten) *pchEaten = 0;
  if (ppmkOut) *ppmkOut = nullptr;
  if (!pszDisplayName || !pchEaten || !ppmkOut) return E_INVALIDARG;
  const std::u16string name(pszDisplayName);
  std::vector<SourceRow> rows;
  if (!ListOdbcDataSources(rows))
    return PostError(E_FAIL, CLSID_RavezovODBCEnumerator, IID_IParseDisplayName, kOdbcErrorSource,
                     "The ODBC driver manager could not be loaded.");
  const std::string wanted = OleToAnsi(name);
  const bool known = std::any_of(rows.begin(), rows.end(), [&](const SourceRow& row) { return row.parseName == wanted; });
  if (!known)
    return PostError(MK_E_NOOBJECT, CLSID_RavezovODBCEnumerator, IID_IParseDisplayName, kOdbcErrorSource,
                     "There is no ODBC data source named '" + wanted + "'.");
  HRESULT hr = COdbcDsnMoniker::CreateInstance<COdbcDsnMoniker>(IID_IMoniker, reinterpret_cast<void**>(ppmkOut), name);
  if (SUCCEEDED(hr)) *pchEaten = static_cast<ULONG>(name.size());
  return hr;
}

HRESULT COdbcEnumerator::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_ISourcesRowset, &IID_IParseDisplayName});
}

HRESULT CreateOdbcEnumerator(REFIID riid, void** ppv) {
  return COdbcEnumerator::CreateInstance<COdbcEnumerator>(riid, ppv);
}
