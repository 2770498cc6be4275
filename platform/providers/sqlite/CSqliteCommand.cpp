#include "CSqliteCommand.h"

#include <sqlite3.h>

#include "CSqliteRowset.h"
#include "ErrorRecords.h"
#include "SqliteErrors.h"
#include "SqliteProvider.h"
#include "SqliteStatement.h"
#include "stringapiset.h"

CSqliteCommand::CSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection)
    : CCommandBase(session, CLSID_RavezovSQLite, std::u16string(kSqliteErrorSource)),
      m_connection(std::move(connection)) {}

HRESULT CreateSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection,
                            REFIID riid, void** ppv) {
  return CSqliteCommand::CreateInstance<CSqliteCommand>(riid, ppv, session, std::move(connection));
}

HRESULT CSqliteCommand::Cancel() {
  ClearErrorInfo();
  m_connection->Interrupt();
  return S_OK;
}

CSqliteRowsetProperties CSqliteCommand::Properties() {
  std::lock_guard guard(m_mutex);
  return m_properties;
}

HRESULT CSqliteCommand::Run(const std::u16string& text, REFIID riid, DBPARAMS* pParams,
                            DBROWCOUNT* pcRowsAffected, IUnknown** ppRowset,
                            std::vector<DBPROPID>& inError) {
  std::string sql = OleToAnsi(text);
  CSqliteRowsetProperties properties = Properties();
  auto lock = m_connection->Lock();
  sqlite3* db = m_connection->Handle();
  CSqliteStatement statement;
  std::string_view tail;
  if (int rc = statement.Prepare(db, sql, &tail); rc != SQLITE_OK) {
    // A lock met while reading the schema is no error in the text.
    bool locked = (rc & 0xFF) == SQLITE_BUSY || (rc & 0xFF) == SQLITE_LOCKED;
    return PostSqliteError(locked ? E_FAIL : DB_E_ERRORSINCOMMAND, IID_ICommand, db);
  }
  if (!statement)
    return PostProviderError(DB_E_NOCOMMAND, IID_ICommand, "The command text holds no statement.");
  // One statement per execution: running the first and silently skipping
  // (or running) the rest would both surprise.
  if (!IsEmptySqlTail(tail))
    return PostProviderError(DB_E_MULTIPLESTATEMENTS, IID_ICommand,
                             "The command text holds more than one statement; nothing was executed.");
  if (sqlite3_bind_parameter_count(statement.Get()) > 0 &&
      (!pParams || pParams->cParamSets == 0))
    return PostProviderError(DB_E_PARAMNOTOPTIONAL, IID_ICommand,
                             "The command has parameter markers, and parameters are not supported.");
  if (statement.ColumnCount() == 0) return RunWithoutRowset(statement.Get(), pcRowsAffected);
  // Asked for no rowset, a statement still runs (insert ... returning
  // inserts); one that only reads has nothing to do.
  if (riid == GUID_NULL)
    return sqlite3_stmt_readonly(statement.Get()) ? S_OK
                                                  : RunWithoutRowset(statement.Get(), pcRowsAffected);
  HRESULT hr = OpenSqliteRowset(m_connection, std::move(statement), false, properties, Creator(), riid,
                                ppRowset, IID_ICommand);
  if (hr == DB_E_ERRORSOCCURRED) {
    for (DBPROPID id : {DBPROP_IRowsetChange, DBPROP_UPDATABILITY})
      if (properties.Required(id)) inError.push_back(id);
  }
  return hr;
}

HRESULT CSqliteCommand::RunWithoutRowset(sqlite3_stmt* stmt, DBROWCOUNT* pcRowsAffected) {
  sqlite3* db = m_connection->Handle();
  sqlite3_int64 before = sqlite3_total_changes64(db);
  int rc = sqlite3_step(stmt);
  while (rc == SQLITE_ROW) rc = sqlite3_step(stmt);
  if (rc != SQLITE_DONE) return PostSqliteError(SqliteStepFailure(rc), IID_ICommand, db);
  if (pcRowsAffected)
    *pcRowsAffected = sqlite3_total_changes64(db) == before
                          ? 0
                          : static_cast<DBROWCOUNT>(sqlite3_changes64(db));
  return S_OK;
}

HRESULT CSqliteCommand::GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                            ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT CSqliteCommand::SetRowsetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  return m_properties.SetProperties(cPropertySets, rgPropertySets);
}
