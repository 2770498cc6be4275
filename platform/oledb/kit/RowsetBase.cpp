#include "RowsetBase.h"

#include "DataConversion.h"
#include "ErrorRecords.h"

template <class RowsetItf, class... More>
CRowsetBase<RowsetItf, More...>::CRowsetBase(IUnknown* creator, REFCLSID provider, std::u16string errorSource)
    : m_creator(creator), m_provider(provider), m_errorSource(std::move(errorSource)) {}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::Fail(HRESULT hr, REFIID iid, std::string_view text,
                                              LONG nativeError) const {
  return PostError(hr, m_provider, iid, m_errorSource, text, {}, nativeError);
}

// ---- IAccessor ---------------------------------------------------------

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  ClearErrorInfo();
  return Report(m_accessors.AddRefAccessor(hAccessor, pcRefCount), IID_IAccessor,
                "The accessor handle is not valid.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings,
                                                        const DBBINDING rgBindings[], DBLENGTH cbRowSize,
                                                        HACCESSOR* phAccessor, DBBINDSTATUS rgStatus[]) {
  ClearErrorInfo();
  HRESULT hr = m_accessors.CreateAccessor(dwAccessorFlags, cBindings, rgBindings, cbRowSize, phAccessor, rgStatus,
                                          static_cast<DBORDINAL>(Columns().size()), HasBookmarks());
  return Report(hr, IID_IAccessor, "The accessor could not be created from these bindings.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags,
                                                     DBCOUNTITEM* pcBindings, DBBINDING** prgBindings) {
  ClearErrorInfo();
  return Report(m_accessors.GetBindings(hAccessor, pdwAccessorFlags, pcBindings, prgBindings), IID_IAccessor,
                "The bindings of this accessor could not be returned.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  ClearErrorInfo();
  HRESULT hr = m_accessors.ReleaseAccessor(hAccessor, pcRefCount);
  if (SUCCEEDED(hr)) AccessorReleased(hAccessor);
  return Report(hr, IID_IAccessor, "The accessor handle is not valid.");
}

// ---- IColumnsInfo ------------------------------------------------------

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo,
                                                       OLECHAR** ppStringsBuffer) {
  ClearErrorInfo();
  return Report(FillColumnInfo(Columns(), HasBookmarks(), pcColumns, prgInfo, ppStringsBuffer),
                IID_IColumnsInfo, "The column information could not be returned.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::MapColumnIDs(DBORDINAL cColumnIDs, const DBID rgColumnIDs[],
                                                      DBORDINAL rgColumns[]) {
  ClearErrorInfo();
  return Report(::MapColumnIDs(Columns(), HasBookmarks(), cColumnIDs, rgColumnIDs, rgColumns), IID_IColumnsInfo,
                "None of the column ids names a column of this rowset.");
}

// ---- IRowsetInfo -------------------------------------------------------

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetProperties(const ULONG cPropertyIDSets,
                                                       const DBPROPIDSET rgPropertyIDSets[],
                                                       ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  return Report(GetRowsetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets),
                IID_IRowsetInfo, "None of the properties asked for is supported by this rowset.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetReferencedRowset(DBORDINAL iOrdinal, REFIID riid,
                                                             IUnknown** ppReferencedRowset) {
  ClearErrorInfo();
  if (!ppReferencedRowset) return Fail(E_INVALIDARG, IID_IRowsetInfo, "A required argument is null.");
  *ppReferencedRowset = nullptr;
  if (iOrdinal > Columns().size() || (iOrdinal == 0 && !HasBookmarks()))
    return Fail(DB_E_BADORDINAL, IID_IRowsetInfo, "The column ordinal is not valid.");
  if (iOrdinal != 0)
    return Fail(DB_E_NOTAREFERENCECOLUMN, IID_IRowsetInfo, "The column does not reference another rowset.");
  // The bookmark column refers to rows of this very rowset.
  return Report(this->QueryInterface(riid, reinterpret_cast<void**>(ppReferencedRowset)), IID_IRowsetInfo,
                "The rowset does not give the interface asked for.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetSpecification(REFIID riid, IUnknown** ppCreator) {
  ClearErrorInfo();
  if (!ppCreator) return Fail(E_INVALIDARG, IID_IRowsetInfo, "A required argument is null.");
  *ppCreator = nullptr;
  if (!m_creator) return S_FALSE;
  return Report(m_creator->QueryInterface(riid, reinterpret_cast<void**>(ppCreator)), IID_IRowsetInfo,
                "The object that created the rowset does not give the interface asked for.");
}

// ---- IColumnsRowset ----------------------------------------------------

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetAvailableColumns(DBORDINAL* pcOptColumns, DBID** prgOptColumns) {
  ClearErrorInfo();
  return Report(GetAvailableColumnsRowsetColumns(pcOptColumns, prgOptColumns), IID_IColumnsRowset,
                "The optional columns could not be listed.");
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::GetColumnsRowset(IUnknown* pUnkOuter, DBORDINAL cOptColumns,
                                                          const DBID rgOptColumns[], REFIID riid,
                                                          ULONG cPropertySets, DBPROPSET rgPropertySets[],
                                                          IUnknown** ppColRowset) {
  ClearErrorInfo();
  if (!ppColRowset) return Fail(E_INVALIDARG, IID_IColumnsRowset, "A required argument is null.");
  *ppColRowset = nullptr;
  if ((cOptColumns && !rgOptColumns) || (cPropertySets && !rgPropertySets))
    return Fail(E_INVALIDARG, IID_IColumnsRowset, "Optional columns or property sets were counted but not given.");
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, IID_IColumnsRowset, "The columns rowset cannot be aggregated.");
  return Report(CreateColumnsRowset(Columns(), HasBookmarks(), cOptColumns, rgOptColumns, this->Identity(),
                                    m_provider, m_errorSource, riid, ppColRowset),
                IID_IColumnsRowset, "The columns rowset could not be built.");
}

// ---- IConvertType and ISupportErrorInfo --------------------------------

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::CanConvert(DBTYPE, DBTYPE wToType, DBCONVERTFLAGS dwConvertFlags) {
  ClearErrorInfo();
  constexpr DBCONVERTFLAGS kKnown = DBCONVERTFLAGS_ISLONG | DBCONVERTFLAGS_ISFIXEDLENGTH | DBCONVERTFLAGS_FROMVARIANT;
  if (dwConvertFlags & DBCONVERTFLAGS_PARAMETER)
    return Fail(DB_E_BADCONVERTFLAG, IID_IConvertType, "A rowset converts columns, not parameters.");
  if (dwConvertFlags & ~kKnown)
    return Fail(DB_E_BADCONVERTFLAG, IID_IConvertType, "The conversion flags are not valid.");
  // Every column is read from the provider's own values, so only the
  // binding's type decides.
  return IsConvertibleBindingType(wToType) ? S_OK : S_FALSE;
}

template <class RowsetItf, class... More>
HRESULT CRowsetBase<RowsetItf, More...>::InterfaceSupportsErrorInfo(REFIID riid) {
  if (riid == IID_IUnknown || riid == IID_ISupportErrorInfo) return S_FALSE;
  return this->FindInterface(riid) ? S_OK : S_FALSE;
}

// The combinations the kit's and the providers' rowsets use; a rowset of
// another shape adds its line here.
template class CRowsetBase<IRowset>;
template class CRowsetBase<IRowsetLocate, IRowsetChange>;
