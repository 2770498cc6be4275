#include "CSqliteCommand.h"

#include <sqlite3.h>

#include <cstring>

#include "CSqliteRowset.h"
#include "DataConversion.h"
#include "ErrorRecords.h"
#include "SqliteErrors.h"
#include "SqliteStatement.h"
#include "stringapiset.h"

CSqliteCommand::CSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection)
    : m_session(session), m_connection(std::move(connection)) {}

HRESULT CreateSqliteCommand(IUnknown* session, std::shared_ptr<CSqliteConnection> connection,
                            REFIID riid, void** ppv) {
  return CSqliteCommand::CreateInstance<CSqliteCommand>(riid, ppv, session, std::move(connection));
}

HRESULT CSqliteCommand::Cancel() {
  ClearErrorInfo();
  m_connection->Interrupt();
  return S_OK;
}

HRESULT CSqliteCommand::Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams,
                                DBROWCOUNT* pcRowsAffected, IUnknown** ppRowset) {
  ClearErrorInfo();
  if (ppRowset) *ppRowset = nullptr;
  if (pcRowsAffected) *pcRowsAffected = -1;
  if (riid != GUID_NULL && !ppRowset) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  std::unique_lock guard(m_mutex);
  if (!m_hasText) return PostProviderError(DB_E_NOCOMMAND, IID_ICommand, "No command text was set.");
  std::string sql = OleToAnsi(m_text);
  CSqliteRowsetProperties properties(m_properties);
  guard.unlock();
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
  HRESULT hr = OpenSqliteRowset(m_connection, std::move(statement), false, properties,
                                static_cast<ICommandText*>(this), riid, ppRowset, IID_ICommand);
  std::lock_guard relock(m_mutex);
  m_propertiesInError.clear();
  if (hr == DB_E_ERRORSOCCURRED) {
    for (DBPROPID id : {DBPROP_IRowsetChange, DBPROP_UPDATABILITY})
      if (properties.Required(id)) m_propertiesInError.push_back(id);
  }
  return hr;
}

HRESULT CSqliteCommand::GetPropertiesInError(ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  *pcPropertySets = 0;
  *prgPropertySets = nullptr;
  if (m_propertiesInError.empty()) return S_OK;
  auto* set = static_cast<DBPROPSET*>(CoTaskMemAlloc(sizeof(DBPROPSET)));
  auto* props = static_cast<DBPROP*>(CoTaskMemAlloc(sizeof(DBPROP) * m_propertiesInError.size()));
  if (!set || !props) {
    CoTaskMemFree(set);
    CoTaskMemFree(props);
    return E_OUTOFMEMORY;
  }
  for (size_t i = 0; i < m_propertiesInError.size(); ++i) {
    props[i] = {};
    props[i].dwPropertyID = m_propertiesInError[i];
    props[i].dwOptions = DBPROPOPTIONS_REQUIRED;
    props[i].dwStatus = DBPROPSTATUS_NOTSETTABLE;
  }
  *set = {props, static_cast<ULONG>(m_propertiesInError.size()), DBPROPSET_ROWSET};
  *pcPropertySets = 1;
  *prgPropertySets = set;
  return S_OK;
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

HRESULT CSqliteCommand::GetDBSession(REFIID riid, IUnknown** ppSession) {
  ClearErrorInfo();
  if (!ppSession) return E_INVALIDARG;
  *ppSession = nullptr;
  return m_session->QueryInterface(riid, reinterpret_cast<void**>(ppSession));
}

HRESULT CSqliteCommand::GetCommandText(GUID* pguidDialect, LPOLESTR* ppwszCommand) {
  ClearErrorInfo();
  if (!ppwszCommand) return E_INVALIDARG;
  *ppwszCommand = nullptr;
  std::lock_guard guard(m_mutex);
  if (!m_hasText) {
    if (pguidDialect) *pguidDialect = GUID_NULL;
    return PostProviderError(DB_E_NOCOMMAND, IID_ICommandText, "No command text was set.");
  }
  HRESULT hr = S_OK;
  if (pguidDialect) {
    if (*pguidDialect != DBGUID_DBSQL && *pguidDialect != DBGUID_DEFAULT && *pguidDialect != GUID_NULL)
      hr = DB_S_DIALECTIGNORED;
    *pguidDialect = DBGUID_DBSQL;
  }
  size_t bytes = (m_text.size() + 1) * sizeof(OLECHAR);
  auto* text = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
  if (!text) return E_OUTOFMEMORY;
  std::memcpy(text, m_text.c_str(), bytes);
  *ppwszCommand = text;
  return hr;
}

HRESULT CSqliteCommand::SetCommandText(REFGUID rguidDialect, LPCOLESTR pwszCommand) {
  ClearErrorInfo();
  // GUID_NULL asks for the default dialect, as DBGUID_DEFAULT does.
  if (rguidDialect != DBGUID_DBSQL && rguidDialect != DBGUID_DEFAULT && rguidDialect != DBGUID_SQL &&
      rguidDialect != GUID_NULL)
    return PostProviderError(DB_E_DIALECTNOTSUPPORTED, IID_ICommandText,
                             "Only SQL command text is supported.");
  std::lock_guard guard(m_mutex);
  m_hasText = pwszCommand && *pwszCommand;
  m_text = m_hasText ? std::u16string(pwszCommand) : std::u16string();
  return S_OK;
}

HRESULT CSqliteCommand::GetProperties(const ULONG cPropertyIDSets,
                                      const DBPROPIDSET rgPropertyIDSets[], ULONG* pcPropertySets,
                                      DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  if (cPropertyIDSets == 1 && rgPropertyIDSets &&
      rgPropertyIDSets[0].guidPropertySet == DBPROPSET_PROPERTIESINERROR) {
    if (!pcPropertySets || !prgPropertySets) return E_INVALIDARG;
    return GetPropertiesInError(pcPropertySets, prgPropertySets);
  }
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets,
                                    prgPropertySets);
}

HRESULT CSqliteCommand::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  HRESULT hr = m_properties.SetProperties(cPropertySets, rgPropertySets);
  if (FAILED(hr))
    return PostProviderError(hr, IID_ICommandProperties, "Some rowset properties could not be set.");
  return hr;
}

HRESULT CSqliteCommand::CanConvert(DBTYPE, DBTYPE wToType, DBCONVERTFLAGS) {
  return IsConvertibleBindingType(wToType) ? S_OK : S_FALSE;
}

HRESULT CSqliteCommand::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_ICommand, &IID_ICommandText, &IID_ICommandProperties});
}
