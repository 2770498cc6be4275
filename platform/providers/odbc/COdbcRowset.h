// A rowset over one executed ODBC statement. Rows come from a bound block
// cursor as the client asks for them into a packed window of rows; a
// bookmark is the row's number. What stays once the client has released a
// row depends on what can find it again: a rowset over one table with a
// key keeps only each row's key and reads a row asked for again by it; any
// other rowset with bookmarks keeps every row packed; one without bookmarks
// keeps nothing it has passed (restarting runs its one statement again).
#pragma once

#include <map>
#include <set>
#include <string>
#include <memory>
#include <mutex>
#include <vector>

#include "COdbcBlockFetcher.h"
#include "COdbcConnection.h"
#include "COdbcRowStore.h"
#include "COdbcRowsetOptions.h"
#include "COdbcRunningStatement.h"
#include "COdbcTableWriter.h"
#include "RowsetBase.h"
#include "oledb.h"

class COdbcRowset : public CRowsetBase<IRowsetLocate, IRowsetChange> {
 public:
  COdbcRowset(std::shared_ptr<COdbcConnection> connection, COdbcHandle statement, COdbcRowsetOptions options,
              IUnknown* creator, std::u16string sql);

  // Describes and binds the result; posts the driver's records on failure.
  HRESULT Open(REFIID errorIid);

  // IRowset
  HRESULT STDMETHODCALLTYPE AddRefRows(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                                       DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE GetData(HROW hRow, HACCESSOR hAccessor, void* pData) override;
  HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER hReserved, DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                        DBCOUNTITEM* pcRowsObtained, HROW** prghRows) override;
  HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM cRows, const HROW rghRows[], DBROWOPTIONS rgRowOptions[],
                                        DBREFCOUNT rgRefCounts[], DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE RestartPosition(HCHAPTER hReserved) override;
  // IRowsetLocate
  HRESULT STDMETHODCALLTYPE Compare(HCHAPTER hReserved, DBBKMARK cbBookmark1, const BYTE* pBookmark1,
                                    DBBKMARK cbBookmark2, const BYTE* pBookmark2, DBCOMPARE* pComparison) override;
  HRESULT STDMETHODCALLTYPE GetRowsAt(HWATCHREGION hReserved1, HCHAPTER hReserved2, DBBKMARK cbBookmark,
                                      const BYTE* pBookmark, DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                      DBCOUNTITEM* pcRowsObtained, HROW** prghRows) override;
  HRESULT STDMETHODCALLTYPE GetRowsByBookmark(HCHAPTER hReserved, DBCOUNTITEM cRows, const DBBKMARK rgcbBookmarks[],
                                              const BYTE* rgpBookmarks[], HROW rghRows[],
                                              DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE Hash(HCHAPTER hReserved, DBBKMARK cBookmarks, const DBBKMARK rgcbBookmarks[],
                                 const BYTE* rgpBookmarks[], DBHASHVALUE rgHashedValues[],
                                 DBROWSTATUS rgBookmarkStatus[]) override;
  // IRowsetChange: writes at once, keyed on the table's primary key.
  HRESULT STDMETHODCALLTYPE DeleteRows(HCHAPTER hReserved, DBCOUNTITEM cRows, const HROW rghRows[],
                                       DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE SetData(HROW hRow, HACCESSOR hAccessor, void* pData) override;
  HRESULT STDMETHODCALLTYPE InsertRow(HCHAPTER hReserved, HACCESSOR hAccessor, void* pData, HROW* phRow) override;
  // The rows fetched per round trip to the driver.
  SQLULEN BlockRows() const { return m_fetcher.BlockRows(); }

 protected:
  void* FindInterface(REFIID riid) override;
  const std::vector<ColumnDesc>& Columns() const override { return m_fetcher.Columns(); }
  bool HasBookmarks() const override { return m_bookmarks; }
  HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                              ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  void AccessorReleased(HACCESSOR hAccessor) override;

 private:
  // Makes sure row `index` is in the window, fetching blocks as needed;
  // false at the end of the result or on failure (hr then set, record posted).
  bool EnsureRow(size_t index, REFIID iid, HRESULT& hr);
  // Makes row `index` available (fetched, or before the window to be read
  // again by its key) and counts one more reference to it.
  bool TakeRow(size_t index, REFIID iid, HRESULT& hr);
  // Reads a held row before the window again by the key kept for it,
  // unless it already was; rows are read only when their values are needed.
  bool LoadHeld(size_t index, REFIID iid, HRESULT& hr);
  // Makes sure a row's values are at hand for a read or a write.
  bool LoadValues(size_t row, REFIID iid, HRESULT& hr);
  // GetData for a row the rowset knows.
  HRESULT FillRow(HROW hRow, const Accessor& accessor, void* pData);
  HRESULT HandOut(size_t start, DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained, HROW** prghRows, REFIID iid);
  bool ValidRow(HROW hRow) const;
  // The reference count of a fetched or re-read row; null for other rows.
  uint32_t* RefCount(size_t row);
  // Drops one reference; false when the row had none.
  bool ReleaseOne(HROW h, DBREFCOUNT* remaining = nullptr);
  size_t ReadCount() const { return m_base + m_rows.Rows(); }
  // Drops the window's rows once nothing needs them there; rows a client
  // holds in a keyed rowset move out of it whole.
  void DropWindowIfUnneeded();
  // Runs the statement again from its first row.
  HRESULT RunAgain();
  // Reads every row left before a write: committing a change may close a
  // server-side cursor, and rows not yet read would be lost with it.
  HRESULT ReadToEnd(REFIID iid);
  // A row's values as the rowset shows them: its own changes over what was fetched.
  std::vector<NativeValue> RowValues(size_t row) const;
  NativeValueView CellView(size_t row, size_t column) const;
  // The values an accessor's buffer gives, by result column.
  HRESULT ReadBindings(HACCESSOR hAccessor, void* pData, std::vector<std::pair<size_t, NativeValue>>& values,
                       REFIID iid);
  HRESULT BookmarkIndex(DBBKMARK cb, const BYTE* bookmark, size_t& index, REFIID iid);

  std::shared_ptr<COdbcConnection> m_connection;
  COdbcHandle m_statement;
  COdbcRowsetOptions m_options;

  std::mutex m_mutex;
  COdbcBlockFetcher m_fetcher;
  COdbcRowStore m_rows{0};            // the window: rows m_base on
  size_t m_base = 0;
  std::vector<uint32_t> m_refCounts;  // per window row
  bool m_bookmarks = false;
  bool m_keyed = false;        // rows are found again by key
  bool m_oneStatement = false;  // the text is one statement, which may run again
  bool m_runAgain = false;      // no bookmarks nor changes: restarting runs it again
  COdbcRowStore m_keys{0};     // keyed: each read row's key, packed
  struct HeldRow {
    COdbcRowStore values;
    uint32_t count = 0;
    bool loaded = false;
  };
  std::map<size_t, HeldRow> m_held;  // keyed: rows before the window a client holds
  bool m_done = false;
  size_t m_next = 0;  // the row GetNextRows gives next
  // The accessor GetData used last, so reading rows does not copy it per row.
  HACCESSOR m_cachedAccessorHandle = 0;
  Accessor m_cachedAccessor;
  std::u16string m_sql;
  std::unique_ptr<COdbcTableWriter> m_writer;  // set when changes are allowed
  // Rows this rowset changed or inserted, whole; inserted ones are numbered
  // from kInsertedBase on.
  std::map<size_t, std::vector<NativeValue>> m_changed;
  std::set<size_t> m_deleted;
  size_t m_inserted = 0;
};

// Runs `sql` on a new statement of the connection. A result with columns
// becomes a rowset in *ppRowset; statements without one leave it null and
// add their counts to *pRowsAffected (when given). `running`, when given,
// holds the statement while it executes so another thread can cancel it.
// The caller holds the connection's lock.
HRESULT ExecuteOdbcRowset(const std::shared_ptr<COdbcConnection>& connection, std::u16string sql,
                          COdbcRowsetOptions options, IUnknown* creator, REFIID riid, IUnknown** ppRowset,
                          REFIID errorIid, DBROWCOUNT* pRowsAffected, COdbcRunningStatement* running = nullptr);
