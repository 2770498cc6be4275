#include "COdbcCommand.h"

#include <cstring>

#include "COdbcRowset.h"
#include "DataConversion.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcStatementCount.h"
#include "objbase.h"

COdbcCommand::COdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection)
    : m_session(session), m_connection(std::move(connection)) {}

HRESULT CreateOdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection, REFIID riid, void** ppv) {
  return COdbcCommand::CreateInstance<COdbcCommand>(riid, ppv, session, std::move(connection));
}

HRESULT COdbcCommand::Cancel() {
  ClearErrorInfo();
  // Only this command's statement, and without the connection's lock: the
  // call to interrupt holds it.
  m_running.Cancel();
  return S_OK;
}

HRESULT COdbcCommand::Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
                              IUnknown** ppRowset) {
  ClearErrorInfo();
  if (ppRowset) *ppRowset = nullptr;
  if (pcRowsAffected) *pcRowsAffected = DB_COUNTUNAVAILABLE;
  if (riid != GUID_NULL && !ppRowset) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  std::unique_lock guard(m_mutex);
  if (!m_hasText) return PostOdbcError(DB_E_NOCOMMAND, IID_ICommand, "No command text was set.");
  std::u16string sql = m_text;
  COdbcRowsetOptions options = m_options;
  guard.unlock();
  if (pParams && pParams->cParamSets > 0)
    return PostOdbcError(DB_E_PARAMNOTOPTIONAL, IID_ICommand, "Command parameters are not supported.");
  const size_t statements = CountSqlStatements(sql);
  if (statements == 0) return PostOdbcError(DB_E_NOCOMMAND, IID_ICommand, "The command text holds no statement.");
  // A driver that runs only the first of several statements would drop the
  // rest without a word; such text is refused whole instead.
  if (statements > 1 && !m_connection->Info().multipleResults)
    return PostOdbcError(DB_E_MULTIPLESTATEMENTS, IID_ICommand,
                         "The command text holds more than one statement, and this ODBC driver runs only the "
                         "first; nothing was executed.");
  const bool wantsChange = options.WantsChange();
  HRESULT hr;
  {
    std::lock_guard lock(m_connection->Mutex());
    hr = ExecuteOdbcRowset(m_connection, std::move(sql), std::move(options), static_cast<ICommandText*>(this), riid,
                           ppRowset, IID_ICommand, pcRowsAffected, &m_running);
  }
  std::lock_guard relock(m_mutex);
  m_propertiesInError.clear();
  if (hr == DB_E_ERRORSOCCURRED && wantsChange) m_propertiesInError = {DBPROP_IRowsetChange, DBPROP_UPDATABILITY};
  return hr;
}

HRESULT COdbcCommand::GetPropertiesInError(ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
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

HRESULT COdbcCommand::GetDBSession(REFIID riid, IUnknown** ppSession) {
  ClearErrorInfo();
  if (!ppSession) return E_INVALIDARG;
  *ppSession = nullptr;
  return m_session->QueryInterface(riid, reinterpret_cast<void**>(ppSession));
}

HRESULT COdbcCommand::GetCommandText(GUID* pguidDialect, LPOLESTR* ppwszCommand) {
  ClearErrorInfo();
  if (!ppwszCommand) return E_INVALIDARG;
  *ppwszCommand = nullptr;
  std::lock_guard guard(m_mutex);
  if (!m_hasText) {
    if (pguidDialect) *pguidDialect = GUID_NULL;
    return PostOdbcError(DB_E_NOCOMMAND, IID_ICommandText, "No command text was set.");
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

HRESULT COdbcCommand::SetCommandText(REFGUID rguidDialect, LPCOLESTR pwszCommand) {
  ClearErrorInfo();
  if (rguidDialect != DBGUID_DBSQL && rguidDialect != DBGUID_DEFAULT && rguidDialect != DBGUID_SQL)
    return PostOdbcError(DB_E_DIALECTNOTSUPPORTED, IID_ICommandText, "Only SQL command text is supported.");
  std::lock_guard guard(m_mutex);
  m_hasText = pwszCommand && *pwszCommand;
  m_text = m_hasText ? std::u16string(pwszCommand) : std::u16string();
  return S_OK;
}

HRESULT COdbcCommand::GetProperties(const ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                    ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  if (cPropertyIDSets == 1 && rgPropertyIDSets && rgPropertyIDSets[0].guidPropertySet == DBPROPSET_PROPERTIESINERROR) {
    if (!pcPropertySets || !prgPropertySets) return E_INVALIDARG;
    return GetPropertiesInError(pcPropertySets, prgPropertySets);
  }
  return m_options.Store().GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT COdbcCommand::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  return m_options.Read(cPropertySets, rgPropertySets);
}

HRESULT COdbcCommand::CanConvert(DBTYPE, DBTYPE wToType, DBCONVERTFLAGS) {
  ClearErrorInfo();
  return IsConvertibleBindingType(wToType) ? S_OK : S_FALSE;
}

HRESULT COdbcCommand::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_ICommand, &IID_ICommandText, &IID_ICommandProperties});
}
