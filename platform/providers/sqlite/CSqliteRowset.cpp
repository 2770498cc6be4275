#include "CSqliteRowset.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "DataConversion.h"
#include "ErrorRecords.h"
#include "RowRefCounts.h"
#include "SqliteErrors.h"
#include "SqliteProvider.h"
#include "SqliteTypeMap.h"
#include "stringapiset.h"

namespace {

// Bookmarks of rows this rowset inserted, apart from result positions.
constexpr DBBKMARK kInsertedBookmark = 0x80000000u;

HRESULT CombineRowStatuses(size_t failed, size_t total) {
  if (failed == 0) return S_OK;
  return failed == total ? DB_E_ERRORSOCCURRED : DB_S_ERRORSOCCURRED;
}

}  // namespace

CSqliteRowset::CSqliteRowset(std::shared_ptr<CSqliteConnection> connection,
                             CSqliteStatement statement, bool rowidLeads,
                             const CSqliteRowsetProperties& properties, IUnknown* creator)
    : CRowsetBase(creator, CLSID_RavezovSQLite, std::u16string(kSqliteErrorSource)),
      m_connection(std::move(connection)),
      m_statement(std::move(statement)),
      m_firstColumn(rowidLeads ? 1 : 0),
      m_properties(properties) {}

CSqliteRowset::~CSqliteRowset() {
  auto lock = m_connection->Lock();
  m_statement = CSqliteStatement();
}

HRESULT OpenSqliteRowset(std::shared_ptr<CSqliteConnection> connection,
                         CSqliteStatement statement, bool rowidLeads,
                         const CSqliteRowsetProperties& properties, IUnknown* creator,
                         REFIID riid, IUnknown** ppRowset, REFIID errorIid) {
  *ppRowset = nullptr;
  auto* rowset = new (std::nothrow)
      CSqliteRowset(std::move(connection), std::move(statement), rowidLeads, properties,
                    creator);
  if (!rowset) return E_OUTOFMEMORY;
  // Everything that can refuse is settled before the first step: a
  // statement that changes rows (insert ... returning) must not have run
  // when the command reports failure.
  IUnknown* answer = nullptr;
  HRESULT hr = rowset->Settle(errorIid);
  if (SUCCEEDED(hr)) hr = rowset->QueryInterface(riid, reinterpret_cast<void**>(&answer));
  if (SUCCEEDED(hr)) hr = rowset->Start(errorIid);
  if (SUCCEEDED(hr)) {
    *ppRowset = answer;
  } else if (answer) {
    answer->Release();
  }
  rowset->Release();
  return hr;
}

HRESULT CSqliteRowset::Settle(REFIID errorIid) {
  m_bookmarks = m_properties.WantsBookmarks();
  HRESULT hr = SettleUpdatability(m_statement.Get(), errorIid);
  m_byKey = m_bookmarks && m_writer && m_writer->RowsCarryRowid();
  return hr;
}

HRESULT CSqliteRowset::Start(REFIID errorIid) {
  int rc = m_statement.Step();
  if (rc == SQLITE_ROW) {
    m_rowPending = true;
  } else if (rc == SQLITE_DONE) {
    m_done = true;
  } else {
    return PostSqliteError(SqliteStepFailure(rc), errorIid, m_connection->Handle());
  }
  BuildColumns(m_statement.Get());
  m_packed = CSqlitePackedRows(m_columns.size());
  m_packedInserted = CSqlitePackedRows(m_columns.size());
  m_properties.Grant(DBPROP_IRowsetLocate, m_bookmarks);
  m_properties.Grant(DBPROP_BOOKMARKS, m_bookmarks);
  m_properties.Grant(DBPROP_IRowsetChange, m_writable);
  m_properties.GrantLong(DBPROP_UPDATABILITY, m_writable ? DBPROPVAL_UP_CHANGE | DBPROPVAL_UP_DELETE |
                                                             DBPROPVAL_UP_INSERT
                                                       : 0);
  return S_OK;
}

HRESULT CSqliteRowset::SettleUpdatability(sqlite3_stmt* stmt, REFIID errorIid) {
  std::string whyNot;
  int rc = SQLITE_OK;
  // The table is found on a read-only connection too: its rows are read
  // again by key for bookmarks.
  m_writer = CSqliteTableWriter::ForStatement(m_connection->Handle(), stmt, m_firstColumn,
                                              m_firstColumn == 1, whyNot, rc);
  // A lock met while reading the table's layout is reported as itself.
  if (rc != SQLITE_OK) return PostSqliteCodeError(errorIid, rc);
  m_writable = m_writer && !m_connection->ReadOnly();
  if (m_writer && !m_writable) whyNot = "The database is open read-only.";
  if (!m_writable && m_properties.RequiresChange())
    return PostProviderError(DB_E_ERRORSOCCURRED, errorIid,
                             "The rowset cannot be made updatable as required (IRowsetChange): " +
                                 whyNot);
  return S_OK;
}

void CSqliteRowset::BuildColumns(sqlite3_stmt* stmt) {
  sqlite3* db = m_connection->Handle();
  int count = sqlite3_column_count(stmt);
  for (int i = m_firstColumn; i < count; ++i) {
    ColumnDesc c;
    c.name = AnsiToOle(sqlite3_column_name(stmt, i));
    int valueType = m_rowPending ? sqlite3_column_type(stmt, i) : SQLITE_NULL;
    SqliteColumnType t = MapSqliteType(sqlite3_column_decltype(stmt, i), valueType);
    c.type = t.type;
    c.size = t.size;
    c.precision = t.precision;
    c.scale = t.scale;
    if (t.isLong) c.flags |= DBCOLUMNFLAGS_ISLONG;
    if (!t.isLong && (t.type == DBTYPE_I8 || t.type == DBTYPE_R8)) c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
    const char* catalog = sqlite3_column_database_name(stmt, i);
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* origin = sqlite3_column_origin_name(stmt, i);
    int notNull = 0, primaryKey = 0, autoIncrement = 0;
    if (catalog && table && origin) {
      sqlite3_table_column_metadata(db, catalog, table, origin, nullptr, nullptr, &notNull,
                                    &primaryKey, &autoIncrement);
      c.baseTable = AnsiToOle(table);
      c.baseColumn = AnsiToOle(origin);
      c.isKey = primaryKey != 0;
      c.isAutoIncrement = autoIncrement != 0;
    }
    if (!notNull) c.flags |= DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
    if (m_writable) c.flags |= DBCOLUMNFLAGS_WRITE;
    m_columns.push_back(std::move(c));
  }
}

void* CSqliteRowset::FindInterface(REFIID riid) {
  if (riid == IID_IRowsetLocate) return m_bookmarks ? static_cast<IRowsetLocate*>(this) : nullptr;
  if (riid == IID_IRowsetChange) return m_writable ? static_cast<IRowsetChange*>(this) : nullptr;
  return CRowsetBase::FindInterface(riid);
}

// ---- Fetching ----------------------------------------------------------

void CSqliteRowset::KeepFailure(int rc) {
  sqlite3* db = m_connection->Handle();
  m_failure = {SqliteStepFailure(rc), sqlite3_errmsg(db), sqlite3_extended_errcode(db)};
}

// A failure is not posted here: rows fetched before it are handed out
// first, and the failure goes to the call that obtains nothing.
CSqliteRowset::Fetch CSqliteRowset::FetchRow(HROW& handle, REFIID, HRESULT& hr) {
  if (FAILED(m_failure.hr)) {
    hr = m_failure.hr;
    return Fetch::Failed;
  }
  if (m_done) return Fetch::End;
  if (!m_rowPending) {
    int rc = m_statement.Step();
    if (rc == SQLITE_DONE) {
      m_done = true;
      return Fetch::End;
    }
    if (rc != SQLITE_ROW) {
      KeepFailure(rc);
      hr = m_failure.hr;
      return Fetch::Failed;
    }
  }
  m_rowPending = false;
  CSqliteRow& row = m_rows.NewRow(handle);
  sqlite3_stmt* stmt = m_statement.Get();
  row.Capture(stmt, m_firstColumn, static_cast<int>(m_columns.size()));
  if (m_firstColumn) row.rowid = sqlite3_column_int64(stmt, 0);
  SetRowid(row);
  ++m_fetched;
  if (m_bookmarks) Remember(row);
  return Fetch::Row;
}

void CSqliteRowset::SetRowid(CSqliteRow& row) const {
  if (m_firstColumn || !m_writer) return;
  size_t column = m_writer->RowidResultColumn();
  if (column != CSqliteTableWriter::kNone) row.rowid = row.Value(column).integer;
}

// ---- Kept rows ---------------------------------------------------------

size_t CSqliteRowset::KeptCount() const { return m_byKey ? m_keys.Size() : m_packed.Size(); }

void CSqliteRowset::Remember(CSqliteRow& row) {
  row.position = KeptCount();
  if (m_byKey) {
    m_keys.Append(row.rowid);
    row.bookmark = static_cast<DBBKMARK>(row.rowid);
  } else {
    m_packed.Append(row);
    row.bookmark = static_cast<DBBKMARK>(row.position + 1);
  }
}

HROW CSqliteRowset::Recall(size_t position, HRESULT& hr) {
  if (m_byKey) {
    HROW handle = RowByKey(m_keys.At(position), hr);
    if (CSqliteRow* row = m_rows.Live(handle)) row->position = position;
    return handle;
  }
  HROW handle = 0;
  CSqliteRow& row = m_rows.NewRow(handle);
  m_packed.Load(position, row);
  row.position = position;
  row.bookmark = static_cast<DBBKMARK>(position + 1);
  return handle;
}

// A row gone from the table comes back marked deleted, as a row this
// rowset deleted does.
HROW CSqliteRowset::RowByKey(int64_t key, HRESULT& hr) {
  HROW handle = 0;
  CSqliteRow& row = m_rows.NewRow(handle);
  SqliteWriteError error = m_writer->ReadByRowid(m_connection->Handle(), key, row);
  if (error.hr == DB_E_DELETEDROW) {
    row.Unpack(nullptr, 0);
    row.deleted = true;
  } else if (FAILED(error.hr)) {
    m_rows.Discard(handle);
    m_lastError = error;
    hr = error.hr;
    return 0;
  }
  row.rowid = key;
  row.bookmark = static_cast<DBBKMARK>(key);
  return handle;
}

void CSqliteRowset::RememberChange(CSqliteRow& row) {
  if (!m_bookmarks || row.position == CSqliteRow::kNoPosition) return;
  if (m_byKey) {
    if (!row.inserted) m_keys.Set(row.position, row.rowid);
    row.bookmark = static_cast<DBBKMARK>(row.rowid);
  } else {
    (row.inserted ? m_packedInserted : m_packed).Replace(row.position, row);
  }
}

void CSqliteRowset::RememberDeletion(const CSqliteRow& row) {
  if (!m_bookmarks || m_byKey || row.position == CSqliteRow::kNoPosition) return;
  (row.inserted ? m_packedInserted : m_packed).MarkDeleted(row.position);
}

HROW CSqliteRowset::RowAtPosition(size_t position, REFIID errorIid, HRESULT& hr) {
  HROW handle = 0;
  if (m_bookmarks) {
    if (position < KeptCount()) return Recall(position, hr);
    // Rows before the position are kept and their handles dropped.
    while (KeptCount() <= position) {
      if (handle) m_rows.Discard(handle);
      handle = 0;
      if (FetchRow(handle, errorIid, hr) != Fetch::Row) return 0;
    }
    return handle;
  }
  // Forward only: rows before the position are read and dropped at once.
  while (m_fetched < position) {
    if (FetchRow(handle, errorIid, hr) != Fetch::Row) return 0;
    m_rows.Discard(handle);
  }
  if (m_fetched > position) return 0;
  return FetchRow(handle, errorIid, hr) == Fetch::Row ? handle : 0;
}

HRESULT CSqliteRowset::FetchSequence(size_t start, DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained,
                                     HROW** prghRows, REFIID iid) {
  bool backwards = cRows < 0;
  size_t wanted = static_cast<size_t>(backwards ? -static_cast<int64_t>(cRows) : cRows);
  std::vector<HROW>& obtained = m_obtained;  // kept between calls: a scan allocates nothing here
  obtained.clear();
  HRESULT failure = S_OK;
  {
    auto lock = m_connection->Lock();
    for (size_t i = 0; i < wanted; ++i) {
      if (backwards && i > start) break;
      size_t position = backwards ? start - i : start + i;
      HROW h = RowAtPosition(position, iid, failure);
      if (!h) break;
      ++m_rows.Live(h)->refCount;
      obtained.push_back(h);
    }
  }
  if (obtained.empty() && FAILED(failure))
    return WriteFailure(FAILED(m_failure.hr) ? m_failure : m_lastError, iid);
  if (!obtained.empty()) {
    if (!*prghRows) {
      *prghRows = static_cast<HROW*>(CoTaskMemAlloc(obtained.size() * sizeof(HROW)));
      if (!*prghRows) {
        for (HROW h : obtained) m_rows.Release(h, nullptr);
        return Fail(E_OUTOFMEMORY, iid, "Out of memory for the row handles.");
      }
    }
    std::copy(obtained.begin(), obtained.end(), *prghRows);
  }
  *pcRowsObtained = static_cast<DBCOUNTITEM>(obtained.size());
  // Cut short by a failure is not the end: the next call reports it.
  if (FAILED(failure)) return S_OK;
  return obtained.size() < wanted ? DB_S_ENDOFROWSET : S_OK;
}

HRESULT CSqliteRowset::GetNextRows(HCHAPTER hReserved, DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                   DBCOUNTITEM* pcRowsObtained, HROW** prghRows) {
  ClearErrorInfo();
  if (!pcRowsObtained || !prghRows) return Fail(E_INVALIDARG, IID_IRowset, "A required argument is null.");
  *pcRowsObtained = 0;
  if (hReserved != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowset, "This rowset has no chapters.");
  if (lRowsOffset < 0)
    return PostProviderError(DB_E_CANTSCROLLBACKWARDS, IID_IRowset,
                             "The rowset cannot scroll backwards.");
  if (cRows < 0)
    return PostProviderError(DB_E_CANTFETCHBACKWARDS, IID_IRowset,
                             "The rowset cannot fetch backwards.");
  if (cRows == 0) return S_OK;
  std::lock_guard guard(m_mutex);
  size_t start = m_next + static_cast<size_t>(lRowsOffset);
  HRESULT hr = FetchSequence(start, cRows, pcRowsObtained, prghRows, IID_IRowset);
  if (SUCCEEDED(hr)) m_next = start + *pcRowsObtained;
  return hr;
}

HRESULT CSqliteRowset::RestartPosition(HCHAPTER hReserved) {
  ClearErrorInfo();
  if (hReserved != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowset, "This rowset has no chapters.");
  std::lock_guard guard(m_mutex);
  if (m_fetched == 0 && m_next == 0) return S_OK;  // still at the start
  auto lock = m_connection->Lock();
  m_statement.Reset();
  m_rowPending = false;
  m_done = false;
  m_failure = {};
  m_fetched = 0;
  m_next = 0;
  m_keys.Clear();
  m_packed.Clear();
  return DB_S_COMMANDREEXECUTED;
}

HRESULT CSqliteRowset::AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[],
                                  DBREFCOUNT rgRefCounts[], DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return Fail(E_INVALIDARG, IID_IRowset, "A required argument is null.");
  std::lock_guard guard(m_mutex);
  HRESULT hr = ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus,
                                  [&](HROW h, DBREFCOUNT& count) {
                                    CSqliteRow* row = m_rows.Held(h);
                                    if (!row) return false;
                                    count = ++row->refCount;
                                    return true;
                                  });
  return Report(hr, IID_IRowset, "None of the row handles is valid.");
}

HRESULT CSqliteRowset::ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[], DBROWOPTIONS[],
                                   DBREFCOUNT rgRefCounts[], DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && !rghRows) return Fail(E_INVALIDARG, IID_IRowset, "A required argument is null.");
  std::lock_guard guard(m_mutex);
  HRESULT hr = ChangeRowRefCounts(cRows, rghRows, rgRefCounts, rgRowStatus,
                                  [&](HROW h, DBREFCOUNT& count) { return m_rows.Release(h, &count); });
  return Report(hr, IID_IRowset, "None of the row handles is valid.");
}

// ---- Reading -----------------------------------------------------------

HRESULT CSqliteRowset::GetData(HROW hRow, HACCESSOR hAccessor, void* pData) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  const CSqliteRow* row = m_rows.Held(hRow);
  if (!row) return PostProviderError(DB_E_BADROWHANDLE, IID_IRowset, "The row handle is not valid.");
  if (row->deleted)
    return PostProviderError(DB_E_DELETEDROW, IID_IRowset, "The row has been deleted.");
  // The accessor of the previous call is kept: a scan asks with one
  // accessor for every row.
  if (hAccessor != m_cachedAccessorHandle || hAccessor == 0) {
    if (!m_accessors.Find(hAccessor, m_cachedAccessor))
      return PostProviderError(DB_E_BADACCESSORHANDLE, IID_IRowset, "The accessor handle is not valid.");
    m_cachedAccessorHandle = hAccessor;
  }
  const Accessor& accessor = m_cachedAccessor;
  if (!(accessor.flags & DBACCESSOR_ROWDATA))
    return PostProviderError(DB_E_BADACCESSORTYPE, IID_IRowset, "The accessor is not a row accessor.");
  if (!pData && !accessor.bindings.empty()) return Fail(E_INVALIDARG, IID_IRowset, "The data buffer is null.");
  auto* buffer = static_cast<BYTE*>(pData);
  size_t failed = 0;
  for (const DBBINDING& b : accessor.bindings) {
    NativeValueView value;
    DBBKMARK bookmark = row->bookmark;
    if (b.iOrdinal == 0) {
      value = (b.wType & ~DBTYPE_BYREF) == DBTYPE_BYTES
                  ? NativeValueView::Blob(&bookmark, sizeof bookmark)
                  : NativeValueView::Integer(bookmark);
    } else {
      value = row->Value(b.iOrdinal - 1);
    }
    DBSTATUS st = ConvertToBinding(value, b, buffer);
    if (st != DBSTATUS_S_OK && st != DBSTATUS_S_ISNULL && st != DBSTATUS_S_TRUNCATED) ++failed;
  }
  return Report(CombineBindingStatuses(failed, accessor.bindings.size()), IID_IRowset,
                "No column could be converted to its bound type.");
}

// ---- Bookmarks ---------------------------------------------------------

HRESULT CSqliteRowset::BookmarkPosition(DBBKMARK cb, const BYTE* bookmark, size_t& position,
                                        REFIID iid) {
  if (!bookmark || cb == 0) return Fail(E_INVALIDARG, iid, "The bookmark is null or empty.");
  if (cb == 1 && *bookmark == DBBMK_FIRST) {
    position = 0;
    return S_OK;
  }
  if (cb == 1 && *bookmark == DBBMK_LAST) {
    HRESULT hr = S_OK;
    auto lock = m_connection->Lock();
    HROW h;
    while (!m_done && FetchRow(h, iid, hr) == Fetch::Row) m_rows.Discard(h);
    if (FAILED(hr)) return WriteFailure(m_failure, iid);
    if (KeptCount() == 0) return DB_S_ENDOFROWSET;
    position = KeptCount() - 1;
    return S_OK;
  }
  if (cb != sizeof(DBBKMARK)) return PostProviderError(DB_E_BADBOOKMARK, iid, "The bookmark is not valid.");
  DBBKMARK value;
  std::memcpy(&value, bookmark, sizeof value);
  std::optional<size_t> found;
  if (m_byKey) {
    found = m_keys.Find(static_cast<int64_t>(value));
  } else if (value != 0 && !(value & kInsertedBookmark)) {
    found = value - 1;
  }
  // Rows this rowset inserted have no place in the result's order.
  if (!found) return PostProviderError(DB_E_BADBOOKMARK, iid, "The bookmark is not valid.");
  position = *found;
  return S_OK;
}

HRESULT CSqliteRowset::Compare(HCHAPTER, DBBKMARK cb1, const BYTE* b1, DBBKMARK cb2, const BYTE* b2,
                               DBCOMPARE* pComparison) {
  ClearErrorInfo();
  if (!b1 || !b2 || !pComparison || !cb1 || !cb2) return Fail(E_INVALIDARG, IID_IRowsetLocate, "A required argument is null.");
  if (cb1 == 1 || cb2 == 1) {
    *pComparison = (cb1 == cb2 && *b1 == *b2) ? DBCOMPARE_EQ : DBCOMPARE_NE;
    return S_OK;
  }
  if (cb1 != sizeof(DBBKMARK) || cb2 != sizeof(DBBKMARK))
    return PostProviderError(DB_E_BADBOOKMARK, IID_IRowsetLocate, "The bookmark is not valid.");
  DBBKMARK a, b;
  std::memcpy(&a, b1, sizeof a);
  std::memcpy(&b, b2, sizeof b);
  if (a == b) {
    *pComparison = DBCOMPARE_EQ;
    return S_OK;
  }
  if (!m_byKey) {
    *pComparison = a < b ? DBCOMPARE_LT : DBCOMPARE_GT;
    return S_OK;
  }
  // Keys compare by where their rows stand in the result; a row this
  // rowset inserted stands nowhere in it.
  std::lock_guard guard(m_mutex);
  auto first = m_keys.Find(static_cast<int64_t>(a));
  auto second = m_keys.Find(static_cast<int64_t>(b));
  if (!first || !second) *pComparison = DBCOMPARE_NE;
  else *pComparison = *first < *second ? DBCOMPARE_LT : DBCOMPARE_GT;
  return S_OK;
}

HRESULT CSqliteRowset::GetRowsAt(HWATCHREGION, HCHAPTER hReserved2, DBBKMARK cbBookmark,
                                 const BYTE* pBookmark, DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                 DBCOUNTITEM* pcRowsObtained, HROW** prghRows) {
  ClearErrorInfo();
  if (!pcRowsObtained || !prghRows) return Fail(E_INVALIDARG, IID_IRowsetLocate, "A required argument is null.");
  *pcRowsObtained = 0;
  if (hReserved2 != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowsetLocate, "This rowset has no chapters.");
  std::lock_guard guard(m_mutex);
  size_t position = 0;
  HRESULT hr = BookmarkPosition(cbBookmark, pBookmark, position, IID_IRowsetLocate);
  if (hr != S_OK) return hr;
  int64_t start = static_cast<int64_t>(position) + lRowsOffset;
  if (start < 0 || cRows == 0) return cRows == 0 ? S_OK : DB_S_ENDOFROWSET;
  return FetchSequence(static_cast<size_t>(start), cRows, pcRowsObtained, prghRows,
                       IID_IRowsetLocate);
}

HRESULT CSqliteRowset::GetRowsByBookmark(HCHAPTER, DBCOUNTITEM cRows, const DBBKMARK rgcbBookmarks[],
                                         const BYTE* rgpBookmarks[], HROW rghRows[],
                                         DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (cRows && (!rgcbBookmarks || !rgpBookmarks || !rghRows)) return Fail(E_INVALIDARG, IID_IRowsetLocate, "A required argument is null.");
  std::lock_guard guard(m_mutex);
  size_t failed = 0;
  HRESULT hr = S_OK;
  auto lock = m_connection->Lock();
  for (DBCOUNTITEM i = 0; i < cRows; ++i) {
    HROW h = 0;
    if (rgcbBookmarks[i] == sizeof(DBBKMARK) && rgpBookmarks[i]) {
      DBBKMARK value = 0;
      std::memcpy(&value, rgpBookmarks[i], sizeof value);
      h = RowByBookmark(value, hr);
    }
    DBROWSTATUS status = DBROWSTATUS_S_OK;
    CSqliteRow* row = m_rows.Live(h);
    if (!row) {
      status = DBROWSTATUS_E_INVALID;
    } else if (row->deleted) {
      // A write through this bookmark must not reach whatever stands there now.
      status = DBROWSTATUS_E_DELETED;
      m_rows.Discard(h);
      row = nullptr;
    }
    if (row) ++row->refCount;
    else ++failed;
    rghRows[i] = row ? h : 0;
    if (rgRowStatus) rgRowStatus[i] = status;
  }
  // A read that failed on the way to a row is said, not passed off as a
  // bad bookmark.
  if (FAILED(hr)) {
    const SqliteWriteError& why = FAILED(m_failure.hr) ? m_failure : m_lastError;
    HRESULT combined = CombineRowStatuses(failed, cRows);
    PostProviderError(combined, IID_IRowsetLocate, why.text, why.nativeError);
    return combined;
  }
  return Report(CombineRowStatuses(failed, cRows), IID_IRowsetLocate, "None of the bookmarks is valid.");
}

HROW CSqliteRowset::RowByBookmark(DBBKMARK value, HRESULT& hr) {
  if (m_byKey) {
    auto key = static_cast<int64_t>(value);
    auto position = m_keys.Find(key);
    bool inserted = std::find(m_insertedKeys.begin(), m_insertedKeys.end(), key) != m_insertedKeys.end();
    if (!position && !inserted) return 0;
    HROW h = RowByKey(key, hr);
    if (CSqliteRow* row = m_rows.Live(h)) {
      row->position = position.value_or(CSqliteRow::kNoPosition);
      row->inserted = !position;
    }
    return h;
  }
  if (value & kInsertedBookmark) {
    size_t index = value & ~kInsertedBookmark;
    if (index >= m_packedInserted.Size()) return 0;
    HROW h = 0;
    CSqliteRow& row = m_rows.NewRow(h);
    m_packedInserted.Load(index, row);
    row.position = index;
    row.inserted = true;
    row.bookmark = value;
    return h;
  }
  return value > 0 ? RowAtPosition(value - 1, IID_IRowsetLocate, hr) : 0;
}

HRESULT CSqliteRowset::Hash(HCHAPTER, DBBKMARK cBookmarks, const DBBKMARK rgcbBookmarks[],
                            const BYTE* rgpBookmarks[], DBHASHVALUE rgHashedValues[],
                            DBROWSTATUS rgBookmarkStatus[]) {
  ClearErrorInfo();
  if (cBookmarks && (!rgcbBookmarks || !rgpBookmarks || !rgHashedValues)) return Fail(E_INVALIDARG, IID_IRowsetLocate, "A required argument is null.");
  size_t failed = 0;
  for (DBBKMARK i = 0; i < cBookmarks; ++i) {
    bool ok = rgcbBookmarks[i] == sizeof(DBBKMARK) && rgpBookmarks[i];
    DBBKMARK value = 0;
    if (ok) std::memcpy(&value, rgpBookmarks[i], sizeof value);
    rgHashedValues[i] = static_cast<DBHASHVALUE>(value);
    if (!ok) ++failed;
    if (rgBookmarkStatus) rgBookmarkStatus[i] = ok ? DBROWSTATUS_S_OK : DBROWSTATUS_E_INVALID;
  }
  return Report(CombineRowStatuses(failed, cBookmarks), IID_IRowsetLocate, "None of the bookmarks is valid.");
}

// ---- Hooks of the rowset base ------------------------------------------

HRESULT CSqliteRowset::GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                           ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

void CSqliteRowset::AccessorReleased(HACCESSOR hAccessor) {
  std::lock_guard guard(m_mutex);
  if (hAccessor == m_cachedAccessorHandle) m_cachedAccessorHandle = 0;
}

// ---- Changes -----------------------------------------------------------

HRESULT CSqliteRowset::ReadBindings(const Accessor& accessor, const BYTE* pData,
                                    SqliteColumnValues& values, REFIID iid) {
  size_t failed = 0;
  std::string failures;
  for (const DBBINDING& b : accessor.bindings) {
    DBSTATUS given = (b.dwPart & DBPART_STATUS)
                         ? *reinterpret_cast<const DBSTATUS*>(pData + b.obStatus)
                         : DBSTATUS_S_OK;
    if (given == DBSTATUS_S_IGNORE || given == DBSTATUS_S_DEFAULT) continue;
    DBSTATUS status = DBSTATUS_S_OK;
    NativeValue value;
    if (b.iOrdinal == 0 || b.iOrdinal > m_columns.size()) {
      status = DBSTATUS_E_PERMISSIONDENIED;
    } else {
      status = ConvertFromBinding(b, pData, value);
    }
    if (status != DBSTATUS_S_OK && status != DBSTATUS_S_ISNULL) {
      ++failed;
      if (b.dwPart & DBPART_STATUS)
        *reinterpret_cast<DBSTATUS*>(const_cast<BYTE*>(pData) + b.obStatus) = status;
      continue;
    }
    values.emplace_back(b.iOrdinal - 1, std::move(value));
  }
  if (failed)
    return PostProviderError(DB_E_ERRORSOCCURRED, iid,
                             "Some bound values could not be converted for writing; nothing was written.");
  return S_OK;
}

HRESULT CSqliteRowset::ReadRowData(HACCESSOR hAccessor, void* pData, SqliteColumnValues& values) {
  Accessor accessor;
  if (!m_accessors.Find(hAccessor, accessor))
    return PostProviderError(DB_E_BADACCESSORHANDLE, IID_IRowsetChange, "The accessor handle is not valid.");
  if (!(accessor.flags & DBACCESSOR_ROWDATA))
    return PostProviderError(DB_E_BADACCESSORTYPE, IID_IRowsetChange, "The accessor is not a row accessor.");
  if (!pData && !accessor.bindings.empty()) return Fail(E_INVALIDARG, IID_IRowsetChange, "The data buffer is null.");
  return ReadBindings(accessor, static_cast<BYTE*>(pData), values, IID_IRowsetChange);
}

HRESULT CSqliteRowset::WriteFailure(const SqliteWriteError& error, REFIID iid) {
  return PostProviderError(error.hr, iid, error.text, error.nativeError);
}

HRESULT CSqliteRowset::SetData(HROW hRow, HACCESSOR hAccessor, void* pData) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  CSqliteRow* row = m_rows.Held(hRow);
  if (!row) return PostProviderError(DB_E_BADROWHANDLE, IID_IRowsetChange, "The row handle is not valid.");
  if (row->deleted) return PostProviderError(DB_E_DELETEDROW, IID_IRowsetChange, "The row has been deleted.");
  SqliteColumnValues changes;
  if (HRESULT hr = ReadRowData(hAccessor, pData, changes); FAILED(hr)) return hr;
  auto lock = m_connection->Lock();
  SqliteWriteError error = m_writer->Update(m_connection->Handle(), *row, changes);
  if (FAILED(error.hr)) return WriteFailure(error, IID_IRowsetChange);
  RememberChange(*row);
  return S_OK;
}

HRESULT CSqliteRowset::InsertRow(HCHAPTER hReserved, HACCESSOR hAccessor, void* pData, HROW* phRow) {
  ClearErrorInfo();
  if (phRow) *phRow = 0;
  if (hReserved != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowsetChange, "This rowset has no chapters.");
  std::lock_guard guard(m_mutex);
  SqliteColumnValues values;
  if (HRESULT hr = ReadRowData(hAccessor, pData, values); FAILED(hr)) return hr;
  HROW handle = 0;
  CSqliteRow& row = m_rows.NewRow(handle);
  SqliteWriteError error;
  {
    auto lock = m_connection->Lock();
    error = m_writer->Insert(m_connection->Handle(), values, row);
  }
  if (FAILED(error.hr)) {
    m_rows.Discard(handle);
    return WriteFailure(error, IID_IRowsetChange);
  }
  if (m_byKey) {
    row.bookmark = static_cast<DBBKMARK>(row.rowid);
    row.inserted = true;
    m_insertedKeys.push_back(row.rowid);
  } else if (m_bookmarks) {
    row.inserted = true;
    row.position = m_packedInserted.Append(row);
    row.bookmark = kInsertedBookmark | static_cast<DBBKMARK>(row.position);
  }
  if (phRow) {
    row.refCount = 1;
    *phRow = handle;
  } else {
    m_rows.Discard(handle);
  }
  return S_OK;
}

HRESULT CSqliteRowset::DeleteRows(HCHAPTER hReserved, DBCOUNTITEM cRows, const HROW rghRows[],
                                  DBROWSTATUS rgRowStatus[]) {
  ClearErrorInfo();
  if (hReserved != DB_NULL_HCHAPTER) return Fail(DB_E_BADCHAPTER, IID_IRowsetChange, "This rowset has no chapters.");
  if (cRows && !rghRows) return Fail(E_INVALIDARG, IID_IRowsetChange, "A required argument is null.");
  std::lock_guard guard(m_mutex);
  auto lock = m_connection->Lock();
  CErrorRecordsBuilder errors(CLSID_RavezovSQLite, IID_IRowsetChange, std::u16string(kSqliteErrorSource));
  size_t failed = 0;
  for (DBCOUNTITEM i = 0; i < cRows; ++i) {
    DBROWSTATUS status = DBROWSTATUS_S_OK;
    CSqliteRow* row = m_rows.Held(rghRows[i]);
    if (!row) {
      status = DBROWSTATUS_E_INVALID;
    } else if (row->deleted) {
      status = DBROWSTATUS_E_DELETED;
    } else {
      SqliteWriteError error = m_writer->Delete(m_connection->Handle(), *row);
      if (FAILED(error.hr)) {
        status = error.hr == DB_E_INTEGRITYVIOLATION ? DBROWSTATUS_E_INTEGRITYVIOLATION
                 : error.hr == DB_E_DELETEDROW      ? DBROWSTATUS_E_DELETED
                                                    : DBROWSTATUS_E_FAIL;
        errors.Add(error.hr, error.text, {}, error.nativeError);
      } else {
        row->deleted = true;
        RememberDeletion(*row);
      }
    }
    if (status != DBROWSTATUS_S_OK) ++failed;
    if (rgRowStatus) rgRowStatus[i] = status;
  }
  HRESULT hr = CombineRowStatuses(failed, cRows);
  if (!errors.Empty()) return errors.Post(hr);
  return Report(hr, IID_IRowsetChange, "None of the rows could be deleted.");
}
