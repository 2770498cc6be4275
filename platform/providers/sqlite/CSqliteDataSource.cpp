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
#include "stringapiset.h"

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
  m_properties.SetText(DBPROPSET_DATASOURCEINFO, DBPROP_DBMSVER, AnsiToOle(sqlite3_libversion()));
  m_properties.SetText(DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCENAME, AnsiToOle(m_connection->Path()));
  m_properties.SetBool(DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCEREADONLY, m_connection->ReadOnly());
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
