#include "COdbcRowset.h"

#include <cstring>

#include "DataConversion.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcProvider.h"
#include "RowRefCounts.h"
#include "objbase.h"

namespace {

// Statements of one text that give no rows are stepped over, within reason.
constexpr int kMaxResults = 256;

}  // namespace

COdbcRowset::COdbcRowset(std::shared_ptr<COdbcConnection> connection, COdbcHandle statement,
                         COdbcRowsetOptions options, IUnknown* creator)
    : m_connection(std::move(connection)), m_statement(std::move(statement)), m_options(std::move(options)),
      m_creator(creator) {}

HRESULT COdbcRowset::Open(REFIID errorIid) {
  if (!m_fetcher.Prepare(m_statement.Get()))
    return PostOdbcDiagnostics(E_FAIL, errorIid, SQL_HANDLE_STMT, m_statement.Get(), "The result could not be read.");
  m_rows = COdbcRowStore(m_fetcher.Columns().size());
  m_bookmarks = m_options.WantsBookmarks();
  m_options.Grant(DBPROP_IRowsetLocate, m_bookmarks);
  m_options.Grant(DBPROP_BOOKMARKS, m_bookmarks);
  m_options.Grant(DBPROP_IRowsetChange, false);
  if (m_options.WantsChange())
    return PostOdbcError(DB_E_ERRORSOCCURRED, errorIid, "This rowset cannot be changed through the ODBC provider.");
  return S_OK;
}

void* COdbcRowset::FindInterface(REFIID riid) {
  if (riid == IID_IRowsetLocate) return m_bookmarks ? static_cast<IRowsetLocate*>(this) : nullptr;
  return ComObject::FindInterface(riid);
}

bool COdbcRowset::EnsureRow(size_t index, REFIID iid, HRESULT& hr) {
  hr = S_OK;
  while (index >= m_rows.Rows() && !m_done) {
    std::lock_guard lock(m_connection->Mutex());
    switch (m_fetcher.FetchBlock(m_rows)) {
      case COdbcBlockFetcher::Result::Rows: break;
      case COdbcBlockFetcher::Result::End: m_done = true; break;
      case COdbcBlockFetcher::Result::Failed:
        m_done = true;  // a broken cursor is not asked again
        hr = PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_STMT, m_statement.Get(), "Reading rows failed.");
        m_refCounts.resize(m_rows.Rows(), 0);
        return false;
    }
    m_refCounts.resize(m_rows.Rows(), 0);
  }
  return index < m_rows.Rows();
}

HRESULT COdbcRowset::HandOut(size_t start, DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained, HROW** prghRows,
                             REFIID iid) {
  std::vector<HROW> handles;
  HRESULT failure = S_OK;
  for (DBROWCOUNT i = 0; i < cRows; ++i) {
    HRESULT hr = S_OK;
    if (!EnsureRow(start + static_cast<size_t>(i), iid, hr)) {
      failure = hr;
      break;
    }
    handles.push_back(static_cast<HROW>(start + static_cast<size_t>(i) + 1));
  }
  if (FAILED(failure) && handles.empty()) return failure;
  if (!handles.empty()) {
    HROW* out = *prghRows;
    if (!out) {
      out = static_cast<HROW*>(CoTaskMemAlloc(handles.size() * sizeof(HROW)));
      if (!out) return E_OUTOFMEMORY;
      *prghRows = out;
    }
    for (size_t i = 0; i < handles.size(); ++i) {
      out[i] = handles[i];
      ++m_refCounts[handles[i] - 1];
    }
  }
  *pcRowsObtained = handles.size();
  // Rows short of the count asked: the end of the rowset, or a failure
  // whose record the next call reports again.
  return handles.size() == static_cast<size_t>(cRows) ? S_OK : DB_S_ENDOFROWSET;
}

HRESULT COdbcRowset::GetNextRows(HCHAPTER hReserved, DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                 DBCOUNTITEM* pcRowsObtained, HROW** prghRows) {
  ClearErrorInfo();
  if (!pcRowsObtained || !prghRows) return E_INVALIDARG;
  *pcRowsObtained = 0;
  if (hReserved != DB_NULL_HCHAPTER) return DB_E_BADCHAPTER;
  if (lRowsOffset < 0) return PostOdbcError(DB_E_CANTSCROLLBACKWARDS, IID_IRowset, "The rowset cannot scroll backwards.");
  if (cRows < 0) return PostOdbcError(DB_E_CANTFETCHBACKWARDS, IID_IRowset, "The rowset cannot fetch backwards.");
  if (cRows == 0) return S_OK;
  std::lock_guard guard(m_mutex);
  const size_t start = m_next + static_cast<size_t>(lRowsOffset);
  HRESULT hr = HandOut(start, cRows, pcRowsObtained, prghRows, IID_IRowset);
  if (SUCCEEDED(hr)) m_next = start + *pcRowsObtained;
  return hr;
}

HRESULT COdbcRowset::RestartPosition(HCHAPTER hReserved) {
  ClearErrorInfo();
  if (hReserved != DB_NULL_HCHAPTER) return DB_E_BADCHAPTER;
  std::lock_guard guard(m_mutex);
  // Every row read so far is kept, so reading again starts from the store.
  m_next = 0;
  return S_OK;
}

HRESULT COdbcRowset::AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                                DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  return ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus, [&](HROW h, DBREFCOUNT& count) {
    if (!ValidRow(h)) return false;
    count = ++m_refCounts[h - 1];
    return true;
  });
}

HRESULT COdbcRowset::ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[], DBROWOPTIONS[], DBREFCOUNT rgRefCounts[],
                                 DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  return ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus, [&](HROW h, DBREFCOUNT& count) {
    if (!ValidRow(h) || m_refCounts[h - 1] == 0) return false;
    count = --m_refCounts[h - 1];
    return true;
  });
}

HRESULT COdbcRowset::GetData(HROW hRow, HACCESSOR hAccessor, void* pData) {
  ClearErrorInfo();
  Accessor accessor;
  if (!m_accessors.Find(hAccessor, accessor))
    return PostOdbcError(DB_E_BADACCESSORHANDLE, IID_IRowset, "The accessor handle is not valid.");
  if (!pData && !accessor.bindings.empty()) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  if (!ValidRow(hRow)) return PostOdbcError(DB_E_BADROWHANDLE, IID_IRowset, "The row handle is not valid.");
  const size_t row = static_cast<size_t>(hRow) - 1;
  DBBKMARK bookmark = hRow;
  return FillRowBuffer(accessor, static_cast<BYTE*>(pData), [&](DBORDINAL ordinal) {
    if (ordinal == 0) return NativeValueView::Blob(&bookmark, sizeof bookmark);
    return m_rows.View(row, ordinal - 1);
  });
}

HRESULT COdbcRowset::BookmarkIndex(DBBKMARK cb, const BYTE* bookmark, size_t& index, REFIID iid) {
  if (!bookmark || cb == 0) return E_INVALIDARG;
  if (cb == 1 && *bookmark == DBBMK_FIRST) {
    index = 0;
    return S_OK;
  }
  if (cb == 1 && *bookmark == DBBMK_LAST) {
    HRESULT hr = S_OK;
    while (EnsureRow(m_rows.Rows(), iid, hr)) {
    }
    if (FAILED(hr)) return hr;
    index = m_rows.Rows() ? m_rows.Rows() - 1 : 0;
    return S_OK;
  }
  DBBKMARK value = 0;
  if (cb != sizeof value) return PostOdbcError(DB_E_BADBOOKMARK, iid, "The bookmark is not valid.");
  std::memcpy(&value, bookmark, sizeof value);
  if (value == 0 || value > m_rows.Rows()) return PostOdbcError(DB_E_BADBOOKMARK, iid, "The bookmark is not valid.");
  index = static_cast<size_t>(value - 1);
  return S_OK;
}

HRESULT COdbcRowset::Compare(HCHAPTER, DBBKMARK cb1, const BYTE* b1, DBBKMARK cb2, const BYTE* b2, DBCOMPARE* pComparison) {
  ClearErrorInfo();
  if (!pComparison) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  size_t first = 0, second = 0;
  if (HRESULT hr = BookmarkIndex(cb1, b1, first, IID_IRowsetLocate); FAILED(hr)) return hr;
  if (HRESULT hr = BookmarkIndex(cb2, b2, second, IID_IRowsetLocate); FAILED(hr)) return hr;
  *pComparison = first < second ? DBCOMPARE_LT : first > second ? DBCOMPARE_GT : DBCOMPARE_EQ;
  return S_OK;
}

HRESULT COdbcRowset::GetRowsAt(HWATCHREGION, HCHAPTER, DBBKMARK cbBookmark, const BYTE* pBookmark,
                               DBROWOFFSET lRowsOffset, DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained, HROW** prghRows) {
  ClearErrorInfo();
  if (!pcRowsObtained || !prghRows) return E_INVALIDARG;
  *pcRowsObtained = 0;
  if (cRows < 0) return PostOdbcError(DB_E_CANTFETCHBACKWARDS, IID_IRowsetLocate, "The rowset cannot fetch backwards.");
  std::lock_guard guard(m_mutex);
  size_t index = 0;
  if (HRESULT hr = BookmarkIndex(cbBookmark, pBookmark, index, IID_IRowsetLocate); FAILED(hr)) return hr;
  if (lRowsOffset < 0 && static_cast<size_t>(-lRowsOffset) > index) return DB_S_ENDOFROWSET;
  if (cRows == 0) return S_OK;
  return HandOut(index + lRowsOffset, cRows, pcRowsObtained, prghRows, IID_IRowsetLocate);
}

HRESULT COdbcRowset::GetRowsByBookmark(HCHAPTER, DBCOUNTITEM cRows, const DBBKMARK rgcbBookmarks[],
                                       const BYTE* rgpBookmarks[], HROW rghRows[], DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && (!rgcbBookmarks || !rgpBookmarks || !rghRows)) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  size_t failed = 0;
  for (DBCOUNTITEM i = 0; i < cRows; ++i) {
    DBBKMARK value = 0;
    const bool valid = rgcbBookmarks[i] == sizeof value && rgpBookmarks[i] &&
                       (std::memcpy(&value, rgpBookmarks[i], sizeof value), value > 0 && value <= m_rows.Rows());
    rghRows[i] = valid ? static_cast<HROW>(value) : DB_NULL_HROW;
    if (valid) ++m_refCounts[value - 1];
    else ++failed;
    if (rgRowStatus) rgRowStatus[i] = valid ? DBROWSTATUS_S_OK : DBROWSTATUS_E_INVALID;
  }
  return CombineBindingStatuses(failed, cRows);
}

HRESULT COdbcRowset::Hash(HCHAPTER, DBBKMARK cBookmarks, const DBBKMARK rgcbBookmarks[], const BYTE* rgpBookmarks[],
                          DBHASHVALUE rgHashedValues[], DBROWSTATUS rgBookmarkStatus[]) {
  ClearErrorInfo();
  if (cBookmarks && (!rgcbBookmarks || !rgpBookmarks || !rgHashedValues)) return E_INVALIDARG;
  size_t failed = 0;
  for (DBBKMARK i = 0; i < cBookmarks; ++i) {
    DBBKMARK value = 0;
    const bool valid = rgcbBookmarks[i] == sizeof value && rgpBookmarks[i];
    if (valid) std::memcpy(&value, rgpBookmarks[i], sizeof value);
    rgHashedValues[i] = static_cast<DBHASHVALUE>(value);
    if (!valid) ++failed;
    if (rgBookmarkStatus) rgBookmarkStatus[i] = valid ? DBROWSTATUS_S_OK : DBROWSTATUS_E_INVALID;
  }
  return CombineBindingStatuses(failed, cBookmarks);
}

HRESULT COdbcRowset::AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  ClearErrorInfo();
  return m_accessors.AddRefAccessor(hAccessor, pcRefCount);
}

HRESULT COdbcRowset::CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings, const DBBINDING rgBindings[],
                                    DBLENGTH cbRowSize, HACCESSOR* phAccessor, DBBINDSTATUS rgStatus[]) {
  ClearErrorInfo();
  HRESULT hr = m_accessors.CreateAccessor(dwAccessorFlags, cBindings, rgBindings, cbRowSize, phAccessor, rgStatus,
                                          static_cast<DBORDINAL>(m_fetcher.Columns().size()), m_bookmarks);
  if (FAILED(hr)) return PostOdbcError(hr, IID_IAccessor, "The accessor could not be created.");
  return hr;
}

HRESULT COdbcRowset::GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags, DBCOUNTITEM* pcBindings,
                                 DBBINDING** prgBindings) {
  ClearErrorInfo();
  return m_accessors.GetBindings(hAccessor, pdwAccessorFlags, pcBindings, prgBindings);
}

HRESULT COdbcRowset::ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount) {
  ClearErrorInfo();
  return m_accessors.ReleaseAccessor(hAccessor, pcRefCount);
}

HRESULT COdbcRowset::GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo, OLECHAR** ppStringsBuffer) {
  ClearErrorInfo();
  return FillColumnInfo(m_fetcher.Columns(), m_bookmarks, pcColumns, prgInfo, ppStringsBuffer);
}

HRESULT COdbcRowset::MapColumnIDs(DBORDINAL cColumnIDs, const DBID rgColumnIDs[], DBORDINAL rgColumns[]) {
  ClearErrorInfo();
  return ::MapColumnIDs(m_fetcher.Columns(), m_bookmarks, cColumnIDs, rgColumnIDs, rgColumns);
}

HRESULT COdbcRowset::GetProperties(const ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                   ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  return m_options.Store().GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT COdbcRowset::GetReferencedRowset(DBORDINAL iOrdinal, REFIID, IUnknown** ppReferencedRowset) {
  ClearErrorInfo();
  if (ppReferencedRowset) *ppReferencedRowset = nullptr;
  if (iOrdinal > m_fetcher.Columns().size()) return DB_E_BADORDINAL;
  return DB_E_NOTAREFERENCECOLUMN;
}

HRESULT COdbcRowset::GetSpecification(REFIID riid, IUnknown** ppCreator) {
  ClearErrorInfo();
  if (!ppCreator) return E_INVALIDARG;
  *ppCreator = nullptr;
  if (!m_creator) return S_FALSE;
  return m_creator->QueryInterface(riid, reinterpret_cast<void**>(ppCreator));
}

HRESULT COdbcRowset::GetAvailableColumns(DBORDINAL* pcOptColumns, DBID** prgOptColumns) {
  ClearErrorInfo();
  return GetAvailableColumnsRowsetColumns(pcOptColumns, prgOptColumns);
}

HRESULT COdbcRowset::GetColumnsRowset(IUnknown* pUnkOuter, DBORDINAL cOptColumns, const DBID rgOptColumns[],
                                      REFIID riid, ULONG, DBPROPSET[], IUnknown** ppColRowset) {
  ClearErrorInfo();
  if (!ppColRowset) return E_INVALIDARG;
  *ppColRowset = nullptr;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  return CreateColumnsRowset(m_fetcher.Columns(), m_bookmarks, cOptColumns, rgOptColumns, Identity(),
                             CLSID_RavezovODBC, std::u16string(kOdbcErrorSource), riid, ppColRowset);
}

HRESULT COdbcRowset::CanConvert(DBTYPE, DBTYPE wToType, DBCONVERTFLAGS) {
  ClearErrorInfo();
  return IsConvertibleBindingType(wToType) ? S_OK : S_FALSE;
}

HRESULT COdbcRowset::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IRowset, &IID_IRowsetLocate, &IID_IAccessor, &IID_IColumnsInfo,
                                  &IID_IRowsetInfo, &IID_IColumnsRowset});
}

HRESULT ExecuteOdbcRowset(const std::shared_ptr<COdbcConnection>& connection, std::u16string sql,
                          COdbcRowsetOptions options, IUnknown* creator, REFIID riid, IUnknown** ppRowset,
                          REFIID errorIid, DBROWCOUNT* pRowsAffected, std::atomic<SQLHSTMT>* running) {
  if (ppRowset) *ppRowset = nullptr;
  if (pRowsAffected) *pRowsAffected = DB_COUNTUNAVAILABLE;
  HRESULT hr = S_OK;
  COdbcHandle statement = connection->NewStatement(errorIid, hr);
  if (!statement) return hr;
  if (running) running->store(statement.Get());
  SQLRETURN rc = SQLExecDirectW(statement.Get(), OdbcText(sql), static_cast<SQLINTEGER>(sql.size()));
  if (running) running->store(SQL_NULL_HSTMT);
  if (!OdbcOk(rc) && rc != SQL_NO_DATA) {
    HRESULT failure = FirstSqlState(SQL_HANDLE_STMT, statement.Get()) == "HY008" ? DB_E_CANCELED : DB_E_ERRORSINCOMMAND;
    return PostOdbcDiagnostics(failure, errorIid, SQL_HANDLE_STMT, statement.Get(), "The command failed.");
  }
  DBROWCOUNT affected = 0;
  bool counted = false;
  for (int result = 0; result < kMaxResults; ++result) {
    SQLSMALLINT columns = 0;
    if (rc != SQL_NO_DATA && OdbcOk(SQLNumResultCols(statement.Get(), &columns)) && columns > 0) {
      if (!ppRowset || riid == GUID_NULL) break;
      auto* rowset = new COdbcRowset(connection, std::move(statement), std::move(options), creator);
      hr = rowset->Open(errorIid);
      if (SUCCEEDED(hr)) hr = rowset->QueryInterface(riid, reinterpret_cast<void**>(ppRowset));
      rowset->Release();
      if (pRowsAffected) *pRowsAffected = counted ? affected : DB_COUNTUNAVAILABLE;
      return hr;
    }
    SQLLEN count = -1;
    if (rc != SQL_NO_DATA && OdbcOk(SQLRowCount(statement.Get(), &count)) && count >= 0) {
      affected += count;
      counted = true;
    }
    rc = SQLMoreResults(statement.Get());
    if (rc == SQL_NO_DATA) break;
    if (!OdbcOk(rc))
      return PostOdbcDiagnostics(DB_E_ERRORSINCOMMAND, errorIid, SQL_HANDLE_STMT, statement.Get(),
                                 "A later statement of the command failed.");
  }
  if (pRowsAffected) *pRowsAffected = counted ? affected : DB_COUNTUNAVAILABLE;
  return S_OK;
}
