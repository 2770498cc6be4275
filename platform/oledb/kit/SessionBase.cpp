#include "SessionBase.h"

#include "ErrorRecords.h"

CSessionBase::CSessionBase(IUnknown* dataSource, std::span<const PropertyDef> sessionProperties,
                           REFCLSID provider, std::u16string errorSource)
    : m_dataSource(dataSource),
      m_provider(provider),
      m_errorSource(std::move(errorSource)),
      m_properties(sessionProperties) {}

HRESULT CSessionBase::Fail(HRESULT hr, REFIID iid, std::string_view text) const {
  return PostError(hr, m_provider, iid, m_errorSource, text);
}

HRESULT CSessionBase::GetDataSource(REFIID riid, IUnknown** ppDataSource) {
  ClearErrorInfo();
  if (!ppDataSource) return Fail(E_INVALIDARG, IID_IGetDataSource, "A required argument is null.");
  *ppDataSource = nullptr;
  HRESULT hr = m_dataSource->QueryInterface(riid, reinterpret_cast<void**>(ppDataSource));
  return FAILED(hr) ? Fail(hr, IID_IGetDataSource, "The data source does not give the interface asked for.") : hr;
}

HRESULT CSessionBase::OpenRowset(IUnknown* pUnkOuter, DBID* pTableID, DBID* pIndexID, REFIID riid,
                                 ULONG cPropertySets, DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  ClearErrorInfo();
  if (ppRowset) *ppRowset = nullptr;
  if (!pTableID && !pIndexID) return Fail(E_INVALIDARG, IID_IOpenRowset, "Neither a table nor an index was named.");
  if (cPropertySets && !rgPropertySets)
    return Fail(E_INVALIDARG, IID_IOpenRowset, "Property sets were counted but not given.");
  if (riid != GUID_NULL && !ppRowset)
    return Fail(E_INVALIDARG, IID_IOpenRowset, "A rowset was asked for without a place to return it.");
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, IID_IOpenRowset, "The rowset cannot be aggregated.");
  if (pIndexID) return Fail(DB_E_NOINDEX, IID_IOpenRowset, "Index rowsets are not supported.");
  if (pTableID->eKind != DBKIND_NAME || !pTableID->uName.pwszName || !*pTableID->uName.pwszName)
    return Fail(DB_E_NOTABLE, IID_IOpenRowset, "Tables are identified by name (DBKIND_NAME).");
  return OpenTable(pTableID->uName.pwszName, riid, cPropertySets, rgPropertySets, ppRowset);
}

HRESULT CSessionBase::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                    ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  HRESULT hr = m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
  return FAILED(hr) ? Fail(hr, IID_ISessionProperties, "None of the properties asked for could be returned.") : hr;
}

HRESULT CSessionBase::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  HRESULT hr = m_properties.SetProperties(cPropertySets, rgPropertySets);
  return FAILED(hr) ? Fail(hr, IID_ISessionProperties, "None of the session properties could be set.") : hr;
}

HRESULT CSessionBase::CreateCommand(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppCommand) {
  ClearErrorInfo();
  if (!ppCommand) return Fail(E_INVALIDARG, IID_IDBCreateCommand, "A required argument is null.");
  *ppCommand = nullptr;
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, IID_IDBCreateCommand, "The command cannot be aggregated.");
  HRESULT hr = NewCommand(riid, ppCommand);
  return FAILED(hr) ? Fail(hr, IID_IDBCreateCommand, "The command does not give the interface asked for.") : hr;
}

HRESULT CSessionBase::GetRowset(IUnknown* pUnkOuter, REFGUID rguidSchema, ULONG cRestrictions,
                                const VARIANT rgRestrictions[], REFIID riid, ULONG cPropertySets,
                                DBPROPSET rgPropertySets[], IUnknown** ppRowset) {
  ClearErrorInfo();
  if (!ppRowset) return Fail(E_INVALIDARG, IID_IDBSchemaRowset, "A required argument is null.");
  *ppRowset = nullptr;
  if ((cRestrictions && !rgRestrictions) || (cPropertySets && !rgPropertySets))
    return Fail(E_INVALIDARG, IID_IDBSchemaRowset, "Restrictions or property sets were counted but not given.");
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, IID_IDBSchemaRowset, "The rowset cannot be aggregated.");
  return SchemaRowset(rguidSchema, cRestrictions, rgRestrictions, riid, ppRowset);
}

HRESULT CSessionBase::GetSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport) {
  ClearErrorInfo();
  HRESULT hr = SupportedSchemas(pcSchemas, prgSchemas, prgRestrictionSupport);
  return FAILED(hr) ? Fail(hr, IID_IDBSchemaRowset, "The schema rowsets could not be listed.") : hr;
}

HRESULT CSessionBase::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IGetDataSource, &IID_IOpenRowset, &IID_ISessionProperties,
                                  &IID_IDBCreateCommand, &IID_IDBSchemaRowset});
}
