#include "COdbcSession.h"

#include "COdbcCommand.h"
#include "COdbcDataSource.h"
#include "COdbcRowset.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcProperties.h"
#include "OdbcSchemaRowsets.h"
#include "OdbcTableName.h"
#include "stringapiset.h"

COdbcSession::COdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection)
    : m_dataSource(dataSource), m_connection(std::move(connection)), m_properties(OdbcSessionProperties()) {
  m_dataSource->AddRef();
  m_dataSource->SessionOpened();
}

COdbcSession::~COdbcSession() {
  m_dataSource->SessionClosed();
  m_dataSource->Release();
}

HRESULT CreateOdbcSession(COdbcDataSource* dataSource, std::shared_ptr<COdbcConnection> connection, REFIID riid,
                          void** ppv) {
  return COdbcSession::CreateInstance<COdbcSession>(riid, ppv, dataSource, std::move(connection));
}

HRESULT COdbcSession::GetDataSource(REFIID riid, IUnknown** ppDataSource) {
  ClearErrorInfo();
  if (!ppDataSource) return E_INVALIDARG;
  *ppDataSource = nullptr;
  return m_dataSource->QueryInterface(riid, reinterpret_cast<void**>(ppDataSource));
}

HRESULT COdbcSession::OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID, REFIID riid,
                                 ULONG cPropertySets, DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  ClearErrorInfo();
  if (ppRowset) *ppRowset = nullptr;
  if (!pTableID && !pIndexID) return E_INVALIDARG;
  if (cPropertySets && !rgPropertySets) return E_INVALIDARG;
  if (riid != GUID_NULL && !ppRowset) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  if (pIndexID) return PostOdbcError(DB_E_NOINDEX, IID_IOpenRowset, "Index rowsets are not supported.");
  if (pTableID->eKind != DBKIND_NAME || !pTableID->uName.pwszName)
    return PostOdbcError(DB_E_NOTABLE, IID_IOpenRowset, "Tables are identified by name (DBKIND_NAME).");
  const std::u16string name = pTableID->uName.pwszName;

  COdbcRowsetOptions options;
  if (HRESULT hr = options.Read(cPropertySets, rgPropertySets); FAILED(hr))
    return PostOdbcError(hr, IID_IOpenRowset, "Some rowset properties could not be set.");

  std::lock_guard lock(m_connection->Mutex());
  std::optional<OdbcTableName> table = FindOdbcTable(*m_connection, name);
  if (!table)
    return PostOdbcError(DB_E_NOTABLE, IID_IOpenRowset, "The table '" + OleToAnsi(name) + "' does not exist.");
  if (riid == GUID_NULL) return S_OK;
  std::u16string sql = u"SELECT * FROM " + QualifiedOdbcName(m_connection->Info(), *table);
  return ExecuteOdbcRowset(m_connection, sql, options, static_cast<IOpenRowset*>(this), riid, ppRowset,
                           IID_IOpenRowset, nullptr);
}

HRESULT COdbcSession::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                    ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT COdbcSession::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  return m_properties.SetProperties(cPropertySets, rgPropertySets);
}

HRESULT COdbcSession::CreateCommand(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppCommand) {
  ClearErrorInfo();
  if (!ppCommand) return E_INVALIDARG;
  *ppCommand = nullptr;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  return CreateOdbcCommand(Identity(), m_connection, riid, reinterpret_cast<void**>(ppCommand));
}

HRESULT COdbcSession::GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema, ULONG cRestrictions,
                                const VARIANT rgRestrictions[], REFIID riid, ULONG cPropertySets,
                                DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  ClearErrorInfo();
  if (!ppRowset) return E_INVALIDARG;
  *ppRowset = nullptr;
  if (cRestrictions && !rgRestrictions) return E_INVALIDARG;
  if (cPropertySets && !rgPropertySets) return E_INVALIDARG;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  std::lock_guard lock(m_connection->Mutex());
  return GetOdbcSchemaRowset(*m_connection, rguidSchema, cRestrictions, rgRestrictions,
                             static_cast<IOpenRowset*>(this), riid, ppRowset);
}

HRESULT COdbcSession::GetSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) {
  ClearErrorInfo();
  return GetOdbcSchemas(pcSchemas, prgSchemas, prgRestrictionSupport);
}

HRESULT COdbcSession::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IGetDataSource, &IID_IOpenRowset, &IID_ISessionProperties,
                                  &IID_IDBCreateCommand, &IID_IDBSchemaRowset});
}
