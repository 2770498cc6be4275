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
// Row numbers of inserted rows start here, far past any fetched row.
constexpr size_t kInsertedBase = 0x40000000;

}  // namespace

COdbcRowset::COdbcRowset(std::shared_ptr<COdbcConnection> connection, COdbcHandle statement,
                         COdbcRowsetOptions options, IUnknown* creator, std::u16string sql)
    : CRowsetBase(creator, CLSID_RavezovODBC, std::u16string(kOdbcErrorSource)),
      m_connection(std::move(connection)),
      m_statement(std::move(statement)),
      m_options(std::move(options)),
      m_sql(std::move(sql)) {}

HRESULT COdbcRowset::Open(REFIID errorIid) {
  if (!m_fetcher.Prepare(m_statement.Get()))
    return PostOdbcDiagnostics(E_FAIL, errorIid, SQL_HANDLE_STMT, m_statement.Get(), "The result could not be read.");
  m_rows = COdbcRowStore(m_fetcher.Columns().size());
  m_bookmarks = m_options.WantsBookmarks();
  m_options.Grant(DBPROP_IRowsetLocate, m_bookmarks);
  m_options.Grant(DBPROP_BOOKMARKS, m_bookmarks);
  // A rowset asked for bookmarks may be edited too (the table data view
  // asks only for those); one asked to change must be changeable.
  if (m_options.WantsChange() || m_bookmarks) {
    std::string why;
    m_writer = COdbcTableWriter::ForResult(*m_connection, m_statement.Get(), m_sql, why);
    if (!m_writer && m_options.WantsChange())
      return PostOdbcError(DB_E_ERRORSOCCURRED, errorIid, "The rowset cannot be changed: " + why);
  }
  m_options.Grant(DBPROP_IRowsetChange, m_writer != nullptr);
  return S_OK;
}

bool COdbcRowset::ValidRow(HROW hRow) const {
  if (hRow == 0) return false;
  const size_t row = static_cast<size_t>(hRow) - 1;
  return row < m_rows.Rows() || m_changed.count(row) > 0;
}

NativeValueView COdbcRowset::CellView(size_t row, size_t column) const {
  if (auto it = m_changed.find(row); it != m_changed.end()) return it->second[column].View();
  return m_rows.View(row, column);
}

std::vector<NativeValue> COdbcRowset::RowValues(size_t row) const {
  std::vector<NativeValue> values;
  for (size_t c = 0; c < m_fetcher.Columns().size(); ++c) values.push_back(NativeValue::From(CellView(row, c)));
  return values;
}

HRESULT COdbcRowset::ReadBindings(HACCESSOR hAccessor, void* pData,
                                  std::vector<std::pair<size_t, NativeValue>>& values, REFIID iid) {
  Accessor accessor;
  if (!m_accessors.Find(hAccessor, accessor))
    return PostOdbcError(DB_E_BADACCESSORHANDLE, iid, "The accessor handle is not valid.");
  if (!pData && !accessor.bindings.empty()) return E_INVALIDARG;
  for (const DBBINDING& b : accessor.bindings) {
    if (b.iOrdinal == 0) continue;  // the bookmark is not written
    const BYTE* data = static_cast<const BYTE*>(pData);
    if (b.dwPart & DBPART_STATUS) {
      DBSTATUS status;
      std::memcpy(&status, data + b.obStatus, sizeof status);
      if (status == DBSTATUS_S_IGNORE || status == DBSTATUS_S_DEFAULT) continue;
    }
    NativeValue value;
    if (ConvertFromBinding(b, data, value) != DBSTATUS_S_OK)
      return PostOdbcError(DB_E_ERRORSOCCURRED, iid, "A value given for the row could not be read.");
    values.emplace_back(static_cast<size_t>(b.iOrdinal - 1), std::move(value));
  }
  return S_OK;
}

HRESULT COdbcRowset::ReadToEnd(REFIID iid) {
  HRESULT hr = S_OK;
  while (EnsureRow(m_rows.Rows(), iid, hr)) {
  }
  return hr;
}

HRESULT COdbcRowset::SetData(HROW hRow, HACCESSOR hAccessor, void* pData) {
  ClearErrorInfo();
  if (!m_writer) return PostOdbcError(DB_E_NOTSUPPORTED, IID_IRowsetChange, "The rowset cannot be changed.");
  std::lock_guard guard(m_mutex);
  if (!ValidRow(hRow)) return PostOdbcError(DB_E_BADROWHANDLE, IID_IRowsetChange, "The row handle is not valid.");
  const size_t row = static_cast<size_t>(hRow) - 1;
  if (m_deleted.count(row)) return PostOdbcError(DB_E_DELETEDROW, IID_IRowsetChange, "The row was deleted.");
  std::vector<std::pair<size_t, NativeValue>> changes;
  if (HRESULT hr = ReadBindings(hAccessor, pData, changes, IID_IRowsetChange); FAILED(hr)) return hr;
  if (HRESULT hr = ReadToEnd(IID_IRowsetChange); FAILED(hr)) return hr;
  std::vector<NativeValue> values = RowValues(row);
  {
    std::lock_guard lock(m_connection->Mutex());
    if (HRESULT hr = m_writer->Update(values, changes, IID_IRowsetChange); FAILED(hr)) return hr;
  }
  for (auto& [column, value] : changes) values[column] = std::move(value);
  m_changed[row] = std::move(values);
  return S_OK;
}

HRESULT COdbcRowset::InsertRow(HCHAPTER, HACCESSOR hAccessor, void* pData, HROW* phRow) {
  ClearErrorInfo();
  if (phRow) *phRow = DB_NULL_HROW;
  if (!m_writer) return PostOdbcError(DB_E_NOTSUPPORTED, IID_IRowsetChange, "The rowset cannot be changed.");
  std::lock_guard guard(m_mutex);
  std::vector<std::pair<size_t, NativeValue>> given;
  if (HRESULT hr = ReadBindings(hAccessor, pData, given, IID_IRowsetChange); FAILED(hr)) return hr;
  if (HRESULT hr = ReadToEnd(IID_IRowsetChange); FAILED(hr)) return hr;
  std::vector<NativeValue> values;
  {
    std::lock_guard lock(m_connection->Mutex());
    if (HRESULT hr = m_writer->Insert(given, IID_IRowsetChange, values); FAILED(hr)) return hr;
  }
  const size_t row = kInsertedBase + m_inserted++;
  m_changed[row] = std::move(values);
  if (phRow) *phRow = static_cast<HROW>(row + 1);
  return S_OK;
}

HRESULT COdbcRowset::DeleteRows(HCHAPTER, DBCOUNTITEM cRows, const HROW rghRows[], DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return E_INVALIDARG;
  if (!m_writer) return PostOdbcError(DB_E_NOTSUPPORTED, IID_IRowsetChange, "The rowset cannot be changed.");
  std::lock_guard guard(m_mutex);
  if (HRESULT hr = ReadToEnd(IID_IRowsetChange); FAILED(hr)) return hr;
  size_t failed = 0;
  for (DBCOUNTITEM i = 0; i < cRows; ++i) {
    DBROWSTATUS status = DBROWSTATUS_S_OK;
    const size_t row = static_cast<size_t>(rghRows[i]) - 1;
    if (!ValidRow(rghRows[i])) {
      status = DBROWSTATUS_E_INVALID;
    } else if (m_deleted.count(row)) {
      status = DBROWSTATUS_E_DELETED;
    } else {
      std::lock_guard lock(m_connection->Mutex());
      if (FAILED(m_writer->Delete(RowValues(row), IID_IRowsetChange))) status = DBROWSTATUS_E_FAIL;
      else m_deleted.insert(row);
    }
    if (status != DBROWSTATUS_S_OK) ++failed;
    if (rgRowStatus) rgRowStatus[i] = status;
  }
  return CombineBindingStatuses(failed, cRows);
}

void* COdbcRowset::FindInterface(REFIID riid) {
  if (riid == IID_IRowsetLocate) return m_bookmarks ? static_cast<IRowsetLocate*>(this) : nullptr;
  if (riid == IID_IRowsetChange) return m_writer ? static_cast<IRowsetChange*>(this) : nullptr;
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
    count = static_cast<size_t>(h) <= m_refCounts.size() ? ++m_refCounts[h - 1] : 1;
    return true;
  });
}

HRESULT COdbcRowset::ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[], DBROWOPTIONS[], DBREFCOUNT rgRefCounts[],
                                 DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  return ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus, [&](HROW h, DBREFCOUNT& count) {
    if (!ValidRow(h)) return false;
    if (static_cast<size_t>(h) > m_refCounts.size()) {  // an inserted row: counted by its handle only
      count = 0;
      return true;
    }
    if (m_refCounts[h - 1] == 0) return false;
    count = --m_refCounts[h - 1];
    return true;
  });
}

HRESULT COdbcRowset::GetData(HROW hRow, HACCESSOR hAccessor, void* pData) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  if (hAccessor == 0 || hAccessor != m_cachedAccessorHandle) {
    if (!m_accessors.Find(hAccessor, m_cachedAccessor)) {
      m_cachedAccessorHandle = 0;
      return PostOdbcError(DB_E_BADACCESSORHANDLE, IID_IRowset, "The accessor handle is not valid.");
    }
    m_cachedAccessorHandle = hAccessor;
  }
  const Accessor& accessor = m_cachedAccessor;
  if (!pData && !accessor.bindings.empty()) return E_INVALIDARG;
  if (!ValidRow(hRow)) return PostOdbcError(DB_E_BADROWHANDLE, IID_IRowset, "The row handle is not valid.");
  const size_t row = static_cast<size_t>(hRow) - 1;
  if (m_deleted.count(row)) return PostOdbcError(DB_E_DELETEDROW, IID_IRowset, "The row was deleted.");
  DBBKMARK bookmark = hRow;
  return FillRowBuffer(accessor, static_cast<BYTE*>(pData), [&](DBORDINAL ordinal) {
    if (ordinal == 0) return NativeValueView::Blob(&bookmark, sizeof bookmark);
    return CellView(row, ordinal - 1);
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

HRESULT COdbcRowset::GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                         ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  std::lock_guard guard(m_mutex);
  return m_options.Store().GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

void COdbcRowset::AccessorReleased(HACCESSOR hAccessor) {
  std::lock_guard guard(m_mutex);
  if (hAccessor == m_cachedAccessorHandle) m_cachedAccessorHandle = 0;
}

HRESULT ExecuteOdbcRowset(const std::shared_ptr<COdbcConnection>& connection, std::u16string sql,
                          COdbcRowsetOptions options, IUnknown* creator, REFIID riid, IUnknown** ppRowset,
                          REFIID errorIid, DBROWCOUNT* pRowsAffected, COdbcRunningStatement* running) {
  if (ppRowset) *ppRowset = nullptr;
  if (pRowsAffected) *pRowsAffected = DB_COUNTUNAVAILABLE;
  HRESULT hr = S_OK;
  COdbcHandle statement = connection->NewStatement(errorIid, hr);
  if (!statement) return hr;
  if (running) running->Set(statement.Get());
  SQLRETURN rc = SQLExecDirectW(statement.Get(), OdbcText(sql), static_cast<SQLINTEGER>(sql.size()));
  if (running) running->Clear();
  if (!OdbcOk(rc) && rc != SQL_NO_DATA) {
    // HY008 is ODBC's "operation canceled"; 57014 a server's "query canceled".
    const std::string state = FirstSqlState(SQL_HANDLE_STMT, statement.Get());
    HRESULT failure = state == "HY008" || state == "57014" ? DB_E_CANCELED : DB_E_ERRORSINCOMMAND;
    return PostOdbcDiagnostics(failure, errorIid, SQL_HANDLE_STMT, statement.Get(), "The command failed.");
  }
  DBROWCOUNT affected = 0;
  bool counted = rc == SQL_NO_DATA;  // a change that touched no row
  for (int result = 0; result < kMaxResults; ++result) {
    SQLSMALLINT columns = 0;
    if (rc != SQL_NO_DATA && OdbcOk(SQLNumResultCols(statement.Get(), &columns)) && columns > 0) {
      if (!ppRowset || riid == GUID_NULL) break;
      auto* rowset = new COdbcRowset(connection, std::move(statement), std::move(options), creator, sql);
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
