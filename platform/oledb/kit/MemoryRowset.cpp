// CMemoryRowset: a forward-only, read-only rowset over rows held in memory.
#include "MemoryRowset.h"

#include <algorithm>
#include <mutex>

#include "ErrorRecords.h"
#include "PropertyTable.h"
#include "RowRefCounts.h"
#include "RowsetBase.h"

namespace {

constexpr DBPROPFLAGS kReadOnlyRowset = DBPROPFLAGS_ROWSET | DBPROPFLAGS_READ;

constexpr PropertyDef kRowsetProperties[] = {
    {&DBPROPSET_ROWSET, DBPROP_IAccessor, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IAccessor"},
    {&DBPROPSET_ROWSET, DBPROP_IColumnsInfo, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IColumnsInfo"},
    {&DBPROPSET_ROWSET, DBPROP_IRowset, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IRowset"},
    {&DBPROPSET_ROWSET, DBPROP_IRowsetInfo, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IRowsetInfo"},
    {&DBPROPSET_ROWSET, DBPROP_IColumnsRowset, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IColumnsRowset"},
    {&DBPROPSET_ROWSET, DBPROP_IConvertType, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"IConvertType"},
    {&DBPROPSET_ROWSET, DBPROP_ISupportErrorInfo, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr},
     u"ISupportErrorInfo"},
    {&DBPROPSET_ROWSET, DBPROP_BOOKMARKS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 0, nullptr}, u"Use Bookmarks"},
    {&DBPROPSET_ROWSET, DBPROP_CANHOLDROWS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 1, nullptr}, u"Hold Rows"},
    {&DBPROPSET_ROWSET, DBPROP_CANFETCHBACKWARDS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 0, nullptr},
     u"Fetch Backwards"},
    {&DBPROPSET_ROWSET, DBPROP_CANSCROLLBACKWARDS, VT_BOOL, kReadOnlyRowset, {VT_BOOL, 0, nullptr},
     u"Scroll Backwards"},
};

class CMemoryRowset : public CRowsetBase<IRowset> {
 public:
  CMemoryRowset(std::vector<ColumnDesc> columns, std::vector<MemoryRow> rows, IUnknown* creator,
                REFCLSID clsid, std::u16string source)
      : CRowsetBase(creator, clsid, std::move(source)),
        m_columns(std::move(columns)),
        m_rows(std::move(rows)),
        m_refs(m_rows.size(), 0),
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

 protected:
  const std::vector<ColumnDesc>& Columns() const override { return m_columns; }
  bool HasBookmarks() const override { return false; }
  HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                              ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override {
    return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
  }

 private:
  bool IsHeld(HROW hRow) const { return hRow >= 1 && hRow <= m_rows.size() && m_refs[hRow - 1] > 0; }
  HRESULT ChangeRowCounts(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                          DBROWSTATUS rgRowStatus[], bool addRef);
  NativeValueView ValueOf(HROW hRow, DBORDINAL ordinal) const {
    const MemoryRow& row = m_rows[hRow - 1];
    return ordinal >= 1 && ordinal <= row.size() ? row[ordinal - 1].View() : NativeValueView::Null();
  }

  const std::vector<ColumnDesc> m_columns;
  const std::vector<MemoryRow> m_rows;

  mutable std::mutex m_mutex;  // guards the position and the row counts
  std::vector<ULONG> m_refs;   // references the client holds, per row
  size_t m_next = 0;           // the row the next fetch starts at

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
