#include "COdbcRowset.h"

#include <algorithm>
#include <cstring>

#include "DataConversion.h"
#include "ErrorRecords.h"
#include "OdbcDiagnostics.h"
#include "OdbcProvider.h"
#include "OdbcStatementCount.h"
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
  if (!m_fetcher.Prepare(m_statement.Get(), m_connection->Info().getDataExtensions))
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
    if (!m_writer && m_options.RequiresChange())
      return PostOdbcError(DB_E_ERRORSOCCURRED, errorIid, "The rowset cannot be changed: " + why);
  }
  m_options.Grant(DBPROP_IRowsetChange, m_writer != nullptr);
  m_keyed = m_bookmarks && m_writer;
  if (m_keyed) m_keys = COdbcRowStore(m_writer->KeyColumns().size());
  m_oneStatement = CountSqlStatements(m_sql) == 1;
  m_runAgain = !m_bookmarks && !m_writer && m_oneStatement;
  return S_OK;
}

bool COdbcRowset::ValidRow(HROW hRow) const {
  if (hRow == 0) return false;
  const size_t row = static_cast<size_t>(hRow) - 1;
  return (row >= m_base && row < ReadCount()) || m_held.count(row) > 0 || m_changed.count(row) > 0;
}

uint32_t* COdbcRowset::RefCount(size_t row) {
  if (row >= m_base && row < ReadCount()) return &m_refCounts[row - m_base];
  if (auto it = m_held.find(row); it != m_held.end()) return &it->second.count;
  return nullptr;
}

NativeValueView COdbcRowset::CellView(size_t row, size_t column) const {
  if (auto it = m_changed.find(row); it != m_changed.end()) return it->second[column].View();
  if (row >= m_base) return m_rows.View(row - m_base, column);
  return m_held.at(row).values.View(0, column);
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
  while (EnsureRow(ReadCount(), iid, hr)) {
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
  if (HRESULT hr = S_OK; !LoadValues(row, IID_IRowsetChange, hr)) return hr;
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
    } else if (HRESULT hr = S_OK; m_deleted.count(row) || !LoadValues(row, IID_IRowsetChange, hr)) {
      status = m_deleted.count(row) || hr == DB_E_DELETEDROW ? DBROWSTATUS_E_DELETED : DBROWSTATUS_E_FAIL;
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

void COdbcRowset::DropWindowIfUnneeded() {
  // Keyed rows are found again by key; an unkeyed rowset without bookmarks
  // never goes back, but restarting must then be able to run it again.
  const bool droppable = m_keyed || (m_runAgain && m_next >= ReadCount());
  if (!droppable || m_rows.Rows() == 0) return;
  for (size_t row = 0; row < m_rows.Rows(); ++row) {
    if (!m_refCounts[row]) continue;
    if (!m_keyed) return;
    // A row the client holds moves out of the window, whole.
    HeldRow held{COdbcRowStore(m_rows.Columns()), m_refCounts[row], true};
    for (size_t c = 0; c < m_rows.Columns(); ++c) held.values.AddView(m_rows.View(row, c));
    m_held.emplace(m_base + row, std::move(held));
  }
  m_base = ReadCount();
  m_rows.Clear();
  m_refCounts.clear();
}

bool COdbcRowset::EnsureRow(size_t index, REFIID iid, HRESULT& hr) {
  hr = S_OK;
  while (index >= ReadCount() && !m_done) {
    DropWindowIfUnneeded();
    std::lock_guard lock(m_connection->Mutex());
    const size_t before = m_rows.Rows();
    const auto result = m_fetcher.FetchBlock(m_rows);
    m_refCounts.resize(m_rows.Rows(), 0);
    if (m_keyed)
      for (size_t row = before; row < m_rows.Rows(); ++row)
        for (size_t column : m_writer->KeyColumns()) m_keys.AddView(m_rows.View(row, column));
    if (result == COdbcBlockFetcher::Result::End) m_done = true;
    if (result == COdbcBlockFetcher::Result::Failed) {
      m_done = true;  // a broken cursor is not asked again
      hr = PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_STMT, m_statement.Get(), "Reading rows failed.");
      return false;
    }
  }
  return index < ReadCount();
}

bool COdbcRowset::LoadHeld(size_t index, REFIID iid, HRESULT& hr) {
  HeldRow& held = m_held.at(index);
  if (held.loaded) return true;
  if (m_changed.count(index) || m_deleted.count(index)) {
    held.loaded = true;  // its values are kept whole, or it is gone
    return true;
  }
  std::vector<NativeValue> key;
  for (size_t k = 0; k < m_keys.Columns(); ++k) key.push_back(NativeValue::From(m_keys.View(index, k)));
  std::lock_guard lock(m_connection->Mutex());
  COdbcHandle statement = m_connection->NewStatement(iid, hr);
  if (!statement) return false;
  if (hr = m_writer->SelectByKey(key, statement.Get(), iid); FAILED(hr)) return false;
  COdbcBlockFetcher fetcher;
  COdbcRowStore values(m_fetcher.Columns().size());
  if (!fetcher.Prepare(statement.Get(), m_connection->Info().getDataExtensions, 1) ||
      fetcher.Columns().size() != m_fetcher.Columns().size() ||
      fetcher.FetchBlock(values) == COdbcBlockFetcher::Result::Failed) {
    hr = PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_STMT, statement.Get(), "The row could not be read again by its key.");
    return false;
  }
  if (values.Rows() == 0) {
    hr = PostOdbcError(DB_E_DELETEDROW, iid, "The row is no longer in the table: no row has its key any more.");
    return false;
  }
  values.Truncate(1);
  held.values = std::move(values);
  held.loaded = true;
  return true;
}

bool COdbcRowset::LoadValues(size_t row, REFIID iid, HRESULT& hr) {
  hr = S_OK;
  return row >= m_base || m_changed.count(row) || LoadHeld(row, iid, hr);
}

bool COdbcRowset::TakeRow(size_t index, REFIID iid, HRESULT& hr) {
  hr = S_OK;
  // A row before the window gets its handle now and its values when read.
  if (index < m_base && m_keyed && !m_held.count(index))
    m_held.emplace(index, HeldRow{COdbcRowStore(m_fetcher.Columns().size()), 0, false});
  if (index >= m_base && !EnsureRow(index, iid, hr)) return false;
  uint32_t* count = RefCount(index);
  if (!count) return false;
  ++*count;
  return true;
}

HRESULT COdbcRowset::HandOut(size_t start, DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained, HROW** prghRows,
                             REFIID iid) {
  std::vector<HROW> handles;
  HRESULT failure = S_OK;
  for (DBROWCOUNT i = 0; i < cRows; ++i) {
    const size_t index = start + static_cast<size_t>(i);
    HRESULT hr = S_OK;
    if (!TakeRow(index, iid, hr)) {
      failure = hr;
      break;
    }
    handles.push_back(static_cast<HROW>(index + 1));
  }
  HROW* out = *prghRows;
  if (!handles.empty() && !out) {
    out = static_cast<HROW*>(CoTaskMemAlloc(handles.size() * sizeof(HROW)));
    if (!out) failure = E_OUTOFMEMORY;
    else *prghRows = out;
  }
  if ((FAILED(failure) && handles.empty()) || failure == E_OUTOFMEMORY) {
    for (HROW h : handles) ReleaseOne(h);
    return failure;
  }
  std::copy(handles.begin(), handles.end(), out);
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
  // Rows skipped are passed: a rowset without bookmarks need not keep them.
  m_next += static_cast<size_t>(lRowsOffset);
  HRESULT hr = HandOut(m_next, cRows, pcRowsObtained, prghRows, IID_IRowset);
  if (SUCCEEDED(hr)) m_next += *pcRowsObtained;
  return hr;
}

HRESULT COdbcRowset::RestartPosition(HCHAPTER hReserved) {
  ClearErrorInfo();
  if (hReserved != DB_NULL_HCHAPTER) return DB_E_BADCHAPTER;
  std::lock_guard guard(m_mutex);
  // Rows passed are kept: reading starts over from them.
  if (m_base == 0) {
    m_next = 0;
    return S_OK;
  }
  bool untouched = m_held.empty() && m_changed.empty() && m_deleted.empty();
  for (uint32_t count : m_refCounts) untouched = untouched && count == 0;
  // Keyed rows still in use, or changed, are found again by key one by one;
  // otherwise the statement runs again, which reads faster.
  if (m_keyed && !(untouched && m_oneStatement)) {
    m_next = 0;
    return S_OK;
  }
  if (!untouched) return PostOdbcError(DB_E_ROWSNOTRELEASED, IID_IRowset, "Release every row before restarting.");
  return RunAgain();
}

HRESULT COdbcRowset::RunAgain() {
  std::lock_guard lock(m_connection->Mutex());
  SQLFreeStmt(m_statement.Get(), SQL_CLOSE);
  m_rows.Clear();
  m_keys.Clear();
  m_refCounts.clear();
  m_base = 0;
  m_next = 0;
  SQLRETURN rc = SQLExecDirectW(m_statement.Get(), OdbcText(m_sql), static_cast<SQLINTEGER>(m_sql.size()));
  m_done = !OdbcOk(rc);
  if (m_done)
    return PostOdbcDiagnostics(DB_E_ERRORSINCOMMAND, IID_IRowset, SQL_HANDLE_STMT, m_statement.Get(),
                               "The command could not be run again to restart the rowset.");
  return DB_S_COMMANDREEXECUTED;
}

bool COdbcRowset::ReleaseOne(HROW h, DBREFCOUNT* remaining) {
  const size_t row = static_cast<size_t>(h) - 1;
  uint32_t* count = RefCount(row);
  if (!count) {  // an inserted row: counted by its handle only
    if (remaining) *remaining = 0;
    return true;
  }
  if (*count == 0) return false;
  --*count;
  if (remaining) *remaining = *count;
  if (*count == 0 && row < m_base) m_held.erase(row);
  return true;
}

HRESULT COdbcRowset::AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                                DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  return ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus, [&](HROW h, DBREFCOUNT& count) {
    if (!ValidRow(h)) return false;
    uint32_t* kept = RefCount(static_cast<size_t>(h) - 1);
    count = kept ? ++*kept : 1;
    return true;
  });
}

HRESULT COdbcRowset::ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[], DBROWOPTIONS[], DBREFCOUNT rgRefCounts[],
                                 DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return E_INVALIDARG;
  std::lock_guard guard(m_mutex);
  return ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus,
                            [&](HROW h, DBREFCOUNT& count) { return ValidRow(h) && ReleaseOne(h, &count); });
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
  const size_t row = static_cast<size_t>(hRow) - 1;
  // A keyed row the client let go of is read again by its key, for this call.
  const bool transient = m_keyed && hRow != 0 && !ValidRow(hRow) && row < m_keys.Rows();
  if (transient) m_held.emplace(row, HeldRow{COdbcRowStore(m_fetcher.Columns().size()), 0, false});
  HRESULT hr = FillRow(hRow, accessor, pData);
  if (transient) m_held.erase(row);
  return hr;
}

HRESULT COdbcRowset::FillRow(HROW hRow, const Accessor& accessor, void* pData) {
  if (!ValidRow(hRow)) return PostOdbcError(DB_E_BADROWHANDLE, IID_IRowset, "The row handle is not valid.");
  const size_t row = static_cast<size_t>(hRow) - 1;
  if (m_deleted.count(row)) return PostOdbcError(DB_E_DELETEDROW, IID_IRowset, "The row was deleted.");
  // A row only its bookmark is asked of is not read again.
  const bool valuesWanted = std::any_of(accessor.bindings.begin(), accessor.bindings.end(),
                                        [](const DBBINDING& b) { return b.iOrdinal != 0; });
  HRESULT hr = S_OK;
  if (valuesWanted && !LoadValues(row, IID_IRowset, hr)) return hr;
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
    if (HRESULT hr = ReadToEnd(iid); FAILED(hr)) return hr;
    index = ReadCount() ? ReadCount() - 1 : 0;
    return S_OK;
  }
  DBBKMARK value = 0;
  if (cb != sizeof value) return PostOdbcError(DB_E_BADBOOKMARK, iid, "The bookmark is not valid.");
  std::memcpy(&value, bookmark, sizeof value);
  if (value == 0 || value > ReadCount()) return PostOdbcError(DB_E_BADBOOKMARK, iid, "The bookmark is not valid.");
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
    bool valid = rgcbBookmarks[i] == sizeof value && rgpBookmarks[i] &&
                 (std::memcpy(&value, rgpBookmarks[i], sizeof value), value > 0 && value <= ReadCount());
    HRESULT hr = S_OK;
    if (valid && m_deleted.count(static_cast<size_t>(value - 1))) {
      valid = false;
      hr = DB_E_DELETEDROW;
    }
    const bool taken = valid && TakeRow(static_cast<size_t>(value - 1), IID_IRowsetLocate, hr);
    rghRows[i] = taken ? static_cast<HROW>(value) : DB_NULL_HROW;
    if (!taken) ++failed;
    if (rgRowStatus)
      rgRowStatus[i] = taken ? DBROWSTATUS_S_OK : hr == DB_E_DELETEDROW ? DBROWSTATUS_E_DELETED : DBROWSTATUS_E_INVALID;
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
