#include "CSqliteDataSource.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>

#include "CSqliteSession.h"
#include "ErrorRecords.h"
#include "SqliteErrors.h"
#include "SqliteLiterals.h"
#include "SqliteProperties.h"
#include "SqliteProvider.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

void SetText(CPropertyStore& store, REFGUID set, DBPROPID id, const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  std::u16string wide = AnsiToOle(text);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  store.SetValue(set, id, v);
  VariantClear(&v);
}

void SetBool(CPropertyStore& store, REFGUID set, DBPROPID id, bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  store.SetValue(set, id, v);
}

}  // namespace

CSqliteDataSource::CSqliteDataSource()
    : CDataSourceBase(SqliteAllProperties(), CLSID_RavezovSQLite, std::u16string(kSqliteErrorSource)) {}

std::shared_ptr<CSqliteConnection> CSqliteDataSource::Connection() const {
  std::lock_guard lock(m_mutex);
  return m_connection;
}

bool CSqliteDataSource::NamesItsSource() const {
  return !m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE).empty();
}

HRESULT CSqliteDataSource::Open() {
  std::string path = OleToAnsi(m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE));
  if (path.empty())
    return PostProviderError(E_FAIL, IID_IDBInitialize,
                             "No database file was given (the Data Source property is empty).");
  LONG mode = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_MODE);
  // Share flags alone say nothing about access: read/write unless only READ.
  bool readOnly = (mode & DB_MODE_READWRITE) == DB_MODE_READ;
  LONG seconds = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT);
  // Clamped so a huge timeout waits the longest an int of milliseconds holds.
  seconds = std::clamp<LONG>(seconds, 0, std::numeric_limits<int>::max() / 1000);
  std::string error;
  int code = 0;
  auto connection =
      CSqliteConnection::Open(path, readOnly, static_cast<int>(seconds) * 1000, error, code);
  if (!connection) return PostProviderError(E_FAIL, IID_IDBInitialize, error, code);
  m_connection = std::move(connection);
  PublishInfo();
  return S_OK;
}

void CSqliteDataSource::PublishInfo() {
  SetText(m_properties, DBPROPSET_DATASOURCEINFO, DBPROP_DBMSVER, sqlite3_libversion());
  SetText(m_properties, DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCENAME, m_connection->Path());
  SetBool(m_properties, DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCEREADONLY,
          m_connection->ReadOnly());
}

HRESULT CSqliteDataSource::Keywords(LPOLESTR* ppwszKeywords) { return GetSqliteKeywords(ppwszKeywords); }

HRESULT CSqliteDataSource::Literals(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                                    DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) {
  return GetSqliteLiteralInfo(cLiterals, rgLiterals, pcLiteralInfo, prgLiteralInfo, ppCharBuffer);
}

HRESULT CSqliteDataSource::NewSession(REFIID riid, IUnknown** ppDBSession) {
  auto connection = Connection();
  if (!connection)
    return PostProviderError(E_UNEXPECTED, IID_IDBCreateSession, "The data source is not initialized.");
  return CreateSqliteSession(this, std::move(connection), riid, reinterpret_cast<void**>(ppDBSession));
}

HRESULT CreateSqliteDataSource(REFIID riid, void** ppv) {
  return CSqliteDataSource::CreateInstance<CSqliteDataSource>(riid, ppv);
}
