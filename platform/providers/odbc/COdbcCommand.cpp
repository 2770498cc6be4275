#include "COdbcCommand.h"

#include "COdbcRowset.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcProvider.h"
#include "OdbcStatementCount.h"

COdbcCommand::COdbcCommand(IUnknown* session, std::shared_ptr<COdbcConnection> connection)
    : CCommandBase(session, CLSID_RavezovODBC, std::u16string(kOdbcErrorSource)), m_connection(std::move(connection)) {}

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

COdbcRowsetOptions COdbcCommand::Options() {
  std::lock_guard guard(m_mutex);
  return m_options;
}

HRESULT COdbcCommand::Run(const std::u16string& text, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
                          IUnknown** ppRowset, std::vector<DBPROPID>& inError) {
  if (pParams && pParams->cParamSets > 0)
    return PostOdbcError(DB_E_PARAMNOTOPTIONAL, IID_ICommand, "Command parameters are not supported.");
  const size_t statements = CountSqlStatements(text);
  if (statements == 0) return PostOdbcError(DB_E_NOCOMMAND, IID_ICommand, "The command text holds no statement.");
  // A driver that runs only the first of several statements would drop the
  // rest without a word; such text is refused whole instead.
  if (statements > 1 && !m_connection->Info().multipleResults)
    return PostOdbcError(DB_E_MULTIPLESTATEMENTS, IID_ICommand,
                         "The command text holds more than one statement, and this ODBC driver runs only the "
                         "first; nothing was executed.");
  COdbcRowsetOptions options = Options();
  const bool wantsChange = options.WantsChange();
  HRESULT hr;
  {
    std::lock_guard lock(m_connection->Mutex());
    hr = ExecuteOdbcRowset(m_connection, text, std::move(options), Creator(), riid, ppRowset, IID_ICommand,
                           pcRowsAffected, &m_running);
  }
  if (hr == DB_E_ERRORSOCCURRED && wantsChange) inError = {DBPROP_IRowsetChange, DBPROP_UPDATABILITY};
  return hr;
}

HRESULT COdbcCommand::GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  return m_options.Store().GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT COdbcCommand::SetRowsetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  return m_options.Read(cPropertySets, rgPropertySets);
}
