#include "CSqliteSession.h"

#include <sqlite3.h>

#include "CSqliteCommand.h"
#include "CSqliteDataSource.h"
#include "CSqliteRowset.h"
#include "ErrorRecords.h"
#include "SqliteErrors.h"
#include "SqliteProperties.h"
#include "SqliteRowid.h"
#include "SqliteSchemaRowsets.h"
#include "SqliteTableName.h"
#include "stringapiset.h"

CSqliteSession::CSqliteSession(CSqliteDataSource* dataSource,
                               std::shared_ptr<CSqliteConnection> connection)
    : m_dataSource(dataSource),
      m_connection(std::move(connection)),
      m_properties(SqliteSessionProperties()) {
  m_dataSource->AddRef();
  m_dataSource->SessionOpened();
}

CSqliteSession::~CSqliteSession() {
  m_dataSource->SessionClosed();
  m_dataSource->Release();
}

HRESULT CreateSqliteSession(CSqliteDataSource* dataSource,
                            std::shared_ptr<CSqliteConnection> connection, REFIID riid,
                            void** ppv) {
  return CSqliteSession::CreateInstance<CSqliteSession>(riid, ppv, dataSource,
                                                        std::move(connection));
}

HRESULT CSqliteSession::GetDataSource(REFIID riid, IUnknown** ppDataSource) {
  ClearErrorInfo();
  if (!ppDataSource) return E_INVALIDARG;
  *ppDataSource = nullptr;
  return m_dataSource->QueryInterface(riid, reinterpret_cast<void**>(ppDataSource));
}

HRESULT CSqliteSession::OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID,
                                   REFIID riid, ULONG cPropertySets, DBPROPSET rgPropertySets[],
                                   IUnknown** ppRowset) {
  ClearErrorInfo();
  if (ppRowset) *ppRowset = nullptr;
  if (!pTableID && !pIndexID) return E_INVALIDARG;
  if (cPropertySets && !rgPropertySets) return E_INVALIDARG;
  if (riid != GUID_NULL && !ppRowset) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  if (pIndexID)
    return PostProviderError(DB_E_NOINDEX, IID_IOpenRowset, "Index rowsets are not supported.");
  if (pTableID->eKind != DBKIND_NAME || !pTableID->uName.pwszName)
    return PostProviderError(DB_E_NOTABLE, IID_IOpenRowset,
                             "Tables are identified by name (DBKIND_NAME).");
  std::string name = OleToAnsi(pTableID->uName.pwszName);

  CSqliteRowsetProperties properties;
  if (cPropertySets) {
    HRESULT hr = properties.SetProperties(cPropertySets, rgPropertySets);
    if (FAILED(hr)) return PostProviderError(hr, IID_IOpenRowset, "Some rowset properties could not be set.");
  }

  auto lock = m_connection->Lock();
  sqlite3* db = m_connection->Handle();
  int rc = SQLITE_OK;
  auto table = ResolveSqliteTable(db, name, rc);
  if (rc != SQLITE_OK) return PostSqliteCodeError(IID_IOpenRowset, rc);
  if (!table)
    return PostProviderError(DB_E_NOTABLE, IID_IOpenRowset,
                             "The table '" + name + "' does not exist.");
  if (riid == GUID_NULL) return S_OK;

  // Rows of a table carry their row id, under a name no user column
  // shadows, so changes find them even without a primary key; views and
  // WITHOUT ROWID tables have none.
  SqliteRowidColumn rowid;
  if (!table->isView) {
    rc = RowidColumnSql(db, table->catalog, table->name, rowid);
    if (rc != SQLITE_OK) return PostSqliteCodeError(IID_IOpenRowset, rc);
  }
  bool rowidLeads = rowid.kind == SqliteRowidKind::Named;
  std::string from = QuoteIdentifier(table->catalog) + "." + QuoteIdentifier(table->name);
  std::string sql = "SELECT " + (rowidLeads ? rowid.sql + ", " : std::string()) + "* FROM " + from;
  CSqliteStatement statement;
  if (statement.Prepare(db, sql) != SQLITE_OK) return PostSqliteError(E_FAIL, IID_IOpenRowset, db);
  return OpenSqliteRowset(m_connection, std::move(statement), rowidLeads, properties,
                          static_cast<IOpenRowset*>(this), riid, ppRowset, IID_IOpenRowset);
}

HRESULT CSqliteSession::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                      ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets,
                                    prgPropertySets);
}

HRESULT CSqliteSession::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  return m_properties.SetProperties(cPropertySets, rgPropertySets);
}

HRESULT CSqliteSession::CreateCommand(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppCommand) {
  ClearErrorInfo();
  if (!ppCommand) return E_INVALIDARG;
  *ppCommand = nullptr;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  return CreateSqliteCommand(Identity(), m_connection, riid, reinterpret_cast<void**>(ppCommand));
}

HRESULT CSqliteSession::GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema, ULONG cRestrictions,
                                  const VARIANT rgRestrictions[], REFIID riid, ULONG cPropertySets,
                                  DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  ClearErrorInfo();
  if (!ppRowset) return E_INVALIDARG;
  *ppRowset = nullptr;
  if (cRestrictions && !rgRestrictions) return E_INVALIDARG;
  if (cPropertySets && !rgPropertySets) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  auto lock = m_connection->Lock();
  return GetSqliteSchemaRowset(m_connection->Handle(), rguidSchema, cRestrictions, rgRestrictions,
                               static_cast<IOpenRowset*>(this), riid, ppRowset);
}

HRESULT CSqliteSession::GetSchemas(ULONG* pcSchemas, GUID** prgSchemas,
                                   ULONG** prgRestrictionSupport) {
  ClearErrorInfo();
  return GetSqliteSchemas(pcSchemas, prgSchemas, prgRestrictionSupport);
}

HRESULT CSqliteSession::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IGetDataSource, &IID_IOpenRowset,
                                        &IID_ISessionProperties, &IID_IDBCreateCommand,
                                        &IID_IDBSchemaRowset});
}
