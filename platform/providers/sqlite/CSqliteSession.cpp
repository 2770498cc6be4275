#include "CSqliteSession.h"

#include <sqlite3.h>

#include "CSqliteCommand.h"
#include "CSqliteDataSource.h"
#include "CSqliteRowset.h"
#include "ErrorRecords.h"
#include "SqliteErrors.h"
#include "SqliteProperties.h"
#include "SqliteProvider.h"
#include "SqliteRowid.h"
#include "SqliteSchemaRowsets.h"
#include "SqliteTableName.h"
#include "stringapiset.h"

CSqliteSession::CSqliteSession(CSqliteDataSource* dataSource,
                               std::shared_ptr<CSqliteConnection> connection)
    : CSessionBase(dataSource->Identity(), SqliteSessionProperties(), CLSID_RavezovSQLite,
                   std::u16string(kSqliteErrorSource)),
      m_dataSource(dataSource),
      m_connection(std::move(connection)) {
  m_dataSource->SessionOpened();
}

CSqliteSession::~CSqliteSession() { m_dataSource->SessionClosed(); }

HRESULT CreateSqliteSession(CSqliteDataSource* dataSource,
                            std::shared_ptr<CSqliteConnection> connection, REFIID riid,
                            void** ppv) {
  return CSqliteSession::CreateInstance<CSqliteSession>(riid, ppv, dataSource,
                                                        std::move(connection));
}

HRESULT CSqliteSession::OpenTable(const std::u16string& tableName, REFIID riid, ULONG cPropertySets,
                                  DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  std::string name = OleToAnsi(tableName);
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
  return OpenSqliteRowset(m_connection, std::move(statement), rowidLeads, properties, Creator(), riid,
                          ppRowset, IID_IOpenRowset);
}

HRESULT CSqliteSession::NewCommand(REFIID riid, IUnknown** ppCommand) {
  return CreateSqliteCommand(Identity(), m_connection, riid, reinterpret_cast<void**>(ppCommand));
}

HRESULT CSqliteSession::SchemaRowset(REFGUID schema, ULONG cRestrictions, const VARIANT rgRestrictions[],
                                     REFIID riid, IUnknown** ppRowset) {
  auto lock = m_connection->Lock();
  return GetSqliteSchemaRowset(m_connection->Handle(), schema, cRestrictions, rgRestrictions, Creator(), riid,
                               ppRowset);
}

HRESULT CSqliteSession::SupportedSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) {
  return GetSqliteSchemas(pcSchemas, prgSchemas, prgRestrictionSupport);
}
