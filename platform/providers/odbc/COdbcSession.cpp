#include "COdbcSession.h"

#include "COdbcCommand.h"
#include "COdbcDataSource.h"
#include "COdbcRowset.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcProperties.h"
#include "OdbcProvider.h"
#include "OdbcSchemaRowsets.h"
#include "OdbcTableName.h"
#include "stringapiset.h"

COdbcSession::COdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection)
    : CSessionBase(dataSource->Identity(), OdbcSessionProperties(), CLSID_RavezovODBC,
                   std::u16string(kOdbcErrorSource)),
      m_dataSource(dataSource),
      m_connection(std::move(connection)) {
  m_dataSource->SessionOpened();
}

COdbcSession::~COdbcSession() { m_dataSource->SessionClosed(); }

HRESULT CreateOdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection, REFIID riid,
                          void** ppv) {
  return COdbcSession::CreateInstance<COdbcSession>(riid, ppv, dataSource, std::move(connection));
}

HRESULT COdbcSession::OpenTable(const std::u16string& name, REFIID riid, ULONG cPropertySets,
                                DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  COdbcRowsetOptions options;
  if (HRESULT hr = options.Read(cPropertySets, rgPropertySets); FAILED(hr))
    return PostOdbcError(hr, IID_IOpenRowset, "Some rowset properties could not be set.");

  std::lock_guard lock(m_connection->Mutex());
  std::optional<OdbcTableName> table = FindOdbcTable(*m_connection, name);
  if (!table)
    return PostOdbcError(DB_E_NOTABLE, IID_IOpenRowset, "The table '" + OleToAnsi(name) + "' does not exist.");
  if (riid == GUID_NULL) return S_OK;
  std::u16string sql = u"SELECT * FROM " + QualifiedOdbcName(m_connection->Info(), *table);
  return ExecuteOdbcRowset(m_connection, sql, options, Creator(), riid, ppRowset, IID_IOpenRowset, nullptr);
}

HRESULT COdbcSession::NewCommand(REFIID riid, IUnknown** ppCommand) {
  return CreateOdbcCommand(Identity(), m_connection, riid, reinterpret_cast<void**>(ppCommand));
}

HRESULT COdbcSession::SchemaRowset(REFGUID schema, ULONG cRestrictions, const VARIANT rgRestrictions[],
                                   REFIID riid, IUnknown** ppRowset) {
  std::lock_guard lock(m_connection->Mutex());
  return GetOdbcSchemaRowset(*m_connection, schema, cRestrictions, rgRestrictions, Creator(), riid, ppRowset);
}

HRESULT COdbcSession::SupportedSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) {
  return GetOdbcSchemas(pcSchemas, prgSchemas, prgRestrictionSupport);
}
