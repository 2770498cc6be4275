// CMemoryRowset: a forward-only, read-only rowset over rows held in memory.
#include "MemoryRowset.h"

#include <algorithm>
#include <mutex>

#include "AccessorTable.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "ErrorRecords.h"
#include "PropertyTable.h"
#include "RowRefCounts.h"

namespace {

constexpr DBPROPFLAGS kReadOnlyRowset = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ;

constexpr PropertyDef kRowsetProperties[] = {
    {&DBPROPSET_ROWSET, DBPROP_IAccessor, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IAccessor"},
    {&DBPROPSET_ROWSET, DBPROP_IColumnsInfo, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IColumnsInfo"},
    {&DBPROPSET_ROWSET, DBPROP_IRowset, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IRowset"},
    {&DBPROPSET_ROWSET, DBPROP_IRowsetInfo, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IRowsetInfo"},
    {&DBPROPSET_ROWSET, DBPROP_ISupportErrorInfo, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr},
     u"ISupportErrorInfo"},
    {&DBPROPSET_ROWSET, DBPROP_BOOKMARKS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 0, nullptr}, u"Use Bookmarks"},
    {&DBPROPSET_ROWSET, DBPROP_CANHOLDROWS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"Hold Rows"},
    {&DBPROPSET_ROWSET, DBPROP_CANFETCHBACKWARDS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 0, nullptr},
     u"Fetch Backwards"},
    {&DBPROPSET_ROWSET, DBPROP_CANSCROLLBACKWARDS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 0, nullptr},
     u"Scroll Backwards"},
};

class CMemoryRowset
    : public ComObject<IRowset, IAccessor, IColumnsInfo, IRowsetInfo, ISupportErrorInfo> {
 public:
  CMemoryRowset(std::vector<ColumnDesc> columns, std::vector<MemoryRow> rows, IUnknown* creator,
                REFCLSID clsid, std::u16string source)
      : m_columns(std::move(columns)),
        m_rows(std::move(rows)),
        m_refs(m_rows.size(), 0),
        m_creator(creator),
        m_clsid(clsid),
        m_source(std::move(source)),
        m_properties(kRowsetProperties) {}

  // IRowset
  HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[],
                                       DBREFCOUNT rgRefCounts[], DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE GetData(HROW hRow, HACCESSOR hAccessor, void* pData) override;
  HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER hReserved, DBROWOFFSET lRowsOffset,
                                        DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained,
                                        HROW** prghRows) override;
  HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[],
                                        DBROWOPTIONS rgRowOptions[], DBREFCOUNT rgRefCounts[],
                                        DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER hReserved) override;

  // IAccessor
  HRESULT STDMETHODCALLTYPE AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) override;
  HRESULT STDMETHODCALLTYPE CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings,
                                           const DBBINDING rgBindings[], DBLENGTH cbRowSize,
                                           HACCESSOR* phAccessor, DBBINDSTATUS rgStatus[]) override;
  HRESULT STDMETHODCALLTYPE GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags,
                                        DBCOUNTITEM* pcBindings, DBBINDING** prgBindings) override;
  HRESULT STDMETHODCALLTYPE ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) override;

  // IColumnsInfo
  HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo,
                                          OLECHAR** ppStringsBuffer) override;
  HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL cColumnIDs, const DBID rgColumnIDs[],
                                         DBORDINAL rgColumns[]) override;

  // IRowsetInfo
  HRESULT STDMETHODCALLTYPE GetProperties(const ULONG cPropertyIDSets,
                                          const DBPROPIDSET rgPropertyIDSets[],
                                          ULONG* pcPropertySets,
                                          DBPROPSET** prgPropertySets) override;
  HRESULT STDMETHODCALLTYPE GetReferencedRowset(DBORDINAL iOrdinal, REFIID riid,
                                                IUnknown** ppReferencedRowset) override;
  HRESULT STDMETHODCALLTYPE GetSpecification(REFIID riid, IUnknown** ppCreator) override;

  // ISupportErrorInfo
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;

 private:
  // Posts one error record for a failure of an interface's method.
  HRESULT Fail(HRESULT hr, REFIID iid, std::string_view text) const {
    return PostError(hr, m_clsid, iid, m_source, text);
  }
  // Failures of a whole call post a record; per-item errors of a partly
  // successful call are in the statuses alone.
  HRESULT Report(HRESULT hr, REFIID iid, std::string_view text) const {
    return FAILED(hr) ? Fail(hr, iid, text) : hr;
  }
  bool IsHeld(HROW hRow) const { return hRow >= 1 && hRow <= m_rows.size() && m_refs[hRow - 1] > 0; }
  HRESULT ChangeRowCounts(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                          DBROWSTATUS rgRowStatus[], bool addRef);
  NativeValueView ValueOf(HROW hRow, DBORDINAL ordinal) const {
    const MemoryRow& row = m_rows[hRow - 1];
    return ordinal >= 1 && ordinal <= row.size() ? row[ordinal - 1].View() : NativeValueView::Null();
  }

  const std::vector<ColumnDesc> m_columns;
  const std::vector<MemoryRow> m_rows;
  CAccessorTable m_accessors;

  mutable std::mutex m_mutex;  // guards the position and the row counts
  std::vector<ULONG> m_refs;   // references the client holds, per row
  size_t m_next = 0;           // the row the next fetch starts at

  ComPtr<IUnknown> m_creator;
  const CLSID m_clsid;
  const std::u16string m_source;
  const CPropertyStore m_properties;
};

HRESULT CMemoryRowset::GetNextRows(HCHAPTER hReserved, DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                   DBCOUNTITEM* pcRowsObtained, HROW** prghRows) {
  ClearErrorInfo();
  if (pcRowsObtained) *pcRowsObtained = 0;
  if (!pcRowsObtained || !prghRows) return Fail(E_INVALIDARG, IID_IRowset, "A required argument is null.");
  if (hReserved != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowset, "This rowset has no chapters.");
  if (lRowsOffset < 0)
    return Fail(DB_E_CANTSCROLLBACKWARDS, IID_IRowset, "This rowset cannot scroll backwards.");
  if (cRows < 0) return Fail(DB_E_CANTFETCHBACKWARDS, IID_IRowset, "This rowset cannot fetch backwards.");
  if (cRows == 0) return S_OK;

  std::lock_guard lock(m_mutex);
  size_t start = std::min(m_next + static_cast<size_t>(lRowsOffset), m_rows.size());
  size_t count = std::min(static_cast<size_t>(cRows), m_rows.size() - start);
  m_next = start;
  if (count == 0) return DB_S_ENDOFROWSET;
  HROW* handles = *prghRows;
  if (!handles) {
    handles = static_cast<HROW*>(CoTaskMemAlloc(count * sizeof(HROW)));
    if (!handles) return Fail(E_OUTOFMEMORY, IID_IRowset, "Out of memory for the row handles.");
    *prghRows = handles;
  }
  for (size_t i = 0; i < count; ++i) {
    handles[i] = static_cast<HROW>(start + i + 1);
    ++m_refs[start + i];
  }
  m_next = start + count;
  *pcRowsObtained = static_cast<DBCOUNTITEM>(count);
  return count < static_cast<size_t>(cRows) ? DB_S_ENDOFROWSET : S_OK;
}

HRESULT CMemoryRowset::GetData(HROW hRow, HACCESSOR hAccessor, void* pData) {
  ClearErrorInfo();
  Accessor accessor;
  if (!m_accessors.Find(hAccessor, accessor))
    return Fail(DB_E_BADACCESSORHANDLE, IID_IRowset, "The accessor handle is not valid.");
  {
    std::lock_guard lock(m_mutex);
    if (!IsHeld(hRow)) return Fail(DB_E_BADROWHANDLE, IID_IRowset, "The row handle is not valid.");
  }
  if (!pData) return Fail(E_INVALIDARG, IID_IRowset, "The data buffer is null.");
  // Rows are immutable, so reading needs no lock once the handle is known held.
  HRESULT hr = FillRowBuffer(accessor, static_cast<BYTE*>(pData),
                             [&](DBORDINAL ordinal) { return ValueOf(hRow, ordinal); });
  return Report(hr, IID_IRowset, "No column could be converted to its bound type.");
}

HRESULT CMemoryRowset::ChangeRowCounts(DBCOUNTITEM cRows, const HROW rghRows[],
                                       DBREFCOUNT rgRefCounts[], DBROWSTATUS rgRowStatus[],
                                       bool addRef) {
  std::lock_guard lock(m_mutex);
  return ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus,
                            [&](HROW h, DBREFCOUNT& count) {
                              if (!IsHeld(h)) return false;
                              count = addRef ? ++m_refs[h - 1] : --m_refs[h - 1];
                              return true;
                            });
}

HRESULT CMemoryRowset::AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                                  DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows == 0) return S_OK;
  if (!rghRows) return Fail(E_INVALIDARG, IID_IRowset, "The row handle array is null.");
  return Report(ChangeRowCounts(cRows, rghRows, rgRefCounts, rgRowStatus, true), IID_IRowset,
                "None of the row handles is valid.");
}

HRESULT CMemoryRowset::ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[], DBROWOPTIONS[],
                                   DBREFCOUNT rgRefCounts[], DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows == 0) return S_OK;
  if (!rghRows) return Fail(E_INVALIDARG, IID_IRowset, "The row handle array is null.");
  return Report(ChangeRowCounts(cRows, rghRows, rgRefCounts, rgRowStatus, false), IID_IRowset,
                "None of the row handles is valid.");
}

HRESULT CMemoryRowset::RestartPosition(HCHAPTER hReserved) {
  ClearErrorInfo();
  if (hReserved != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowset, "This rowset has no chapters.");
  std::lock_guard lock(m_mutex);
  m_next = 0;
  return S_OK;
}

HRESULT CMemoryRowset::AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  ClearErrorInfo();
  return Report(m_accessors.AddRefAccessor(hAccessor, pcRefCount), IID_IAccessor,
                "The accessor handle is not valid.");
}

HRESULT CMemoryRowset::CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings,
                                      const DBBINDING rgBindings[], DBLENGTH cbRowSize,
                                      HACCESSOR* phAccessor, DBBINDSTATUS rgStatus[]) {
  ClearErrorInfo();
  HRESULT hr = m_accessors.CreateAccessor(dwAccessorFlags, cBindings, rgBindings, cbRowSize, phAccessor,
                                          rgStatus, static_cast<DBORDINAL>(m_columns.size()), false);
  return Report(hr, IID_IAccessor, "The accessor could not be created from these bindings.");
}

HRESULT CMemoryRowset::GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags,
                                   DBCOUNTITEM* pcBindings, DBBINDING** prgBindings) {
  ClearErrorInfo();
  return Report(m_accessors.GetBindings(hAccessor, pdwAccessorFlags, pcBindings, prgBindings),
                IID_IAccessor, "The bindings of this accessor could not be returned.");
}

HRESULT CMemoryRowset::ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  ClearErrorInfo();
  return Report(m_accessors.ReleaseAccessor(hAccessor, pcRefCount), IID_IAccessor,
                "The accessor handle is not valid.");
}

HRESULT CMemoryRowset::GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo,
                                     OLECHAR** ppStringsBuffer) {
  ClearErrorInfo();
  return Report(FillColumnInfo(m_columns, false, pcColumns, prgInfo, ppStringsBuffer), IID_IColumnsInfo,
                "The column information could not be returned.");
}

HRESULT CMemoryRowset::MapColumnIDs(DBORDINAL cColumnIDs, const DBID rgColumnIDs[],
                                    DBORDINAL rgColumns[]) {
  ClearErrorInfo();
  return Report(::MapColumnIDs(m_columns, false, cColumnIDs, rgColumnIDs, rgColumns), IID_IColumnsInfo,
                "None of the column ids names a column of this rowset.");
}

HRESULT CMemoryRowset::GetProperties(const ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                     ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  return Report(m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets,
                                           prgPropertySets),
                IID_IRowsetInfo, "None of the properties asked for is supported by this rowset.");
}

HRESULT CMemoryRowset::GetReferencedRowset(DBORDINAL iOrdinal, REFIID, IUnknown** ppReferencedRowset) {
  ClearErrorInfo();
  if (ppReferencedRowset) *ppReferencedRowset = nullptr;
  if (!ppReferencedRowset) return Fail(E_INVALIDARG, IID_IRowsetInfo, "A required argument is null.");
  if (iOrdinal == 0 || iOrdinal > m_columns.size())
    return Fail(DB_E_BADORDINAL, IID_IRowsetInfo, "The column ordinal is not valid.");
  return Fail(DB_E_NOTAREFERENCECOLUMN, IID_IRowsetInfo, "The column does not reference another rowset.");
}

HRESULT CMemoryRowset::GetSpecification(REFIID riid, IUnknown** ppCreator) {
  ClearErrorInfo();
  if (!ppCreator) return Fail(E_INVALIDARG, IID_IRowsetInfo, "A required argument is null.");
  *ppCreator = nullptr;
  if (!m_creator) return S_FALSE;
  return m_creator->QueryInterface(riid, reinterpret_cast<void**>(ppCreator));
}

HRESULT CMemoryRowset::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IRowset, &IID_IAccessor, &IID_IColumnsInfo, &IID_IRowsetInfo});
}

}  // namespace

HRESULT CreateMemoryRowset(std::vector<ColumnDesc> columns, std::vector<MemoryRow> rows,
                           IUnknown* pCreator, REFCLSID providerClsid,
                           std::u16string errorSource, REFIID riid, IUnknown** ppRowset) {
  if (!ppRowset) return E_INVALIDARG;
  return CMemoryRowset::CreateInstance<CMemoryRowset>(riid, reinterpret_cast<void**>(ppRowset),
                                                      std::move(columns), std::move(rows),
                                                      pCreator, providerClsid,
                                                      std::move(errorSource));
}
