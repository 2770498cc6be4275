// A rowset over one executing statement. Rows are stepped as GetNextRows
// asks and a released row is not kept. With bookmarks, a result over one
// table whose rows carry their row id keeps only that key per position and
// reads a row again by it; any other result keeps its rows packed.
// IRowsetChange is granted whenever the result maps onto one table.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "RowsetBase.h"
#include "SqliteConnection.h"
#include "SqlitePackedRows.h"
#include "SqliteRowKeys.h"
#include "SqliteRowStore.h"
#include "SqliteRowsetProperties.h"
#include "SqliteStatement.h"
#include "SqliteTableWriter.h"
#include "oledb.h"

class CSqliteRowset : public CRowsetBase<IRowsetLocate, IRowsetChange> {
 public:
  CSqliteRowset(std::shared_ptr<CSqliteConnection> connection, CSqliteStatement statement,
                bool rowidLeads, const CSqliteRowsetProperties& properties,
                IUnknown* creator);

  // Settles bookmarks and updatability against the properties asked for,
  // before the statement changes anything. The caller holds the
  // connection's lock. Posts an error record on failure.
  HRESULT Settle(REFIID errorIid);
  // Runs the statement to its first row and describes the columns. Posts
  // an error record on failure.
  HRESULT Start(REFIID errorIid);

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
  // IRowsetLocate
  HRESULT STDMETHODCALLTYPE Compare(HCHAPTER hReserved, DBBKMARK cbBookmark1, const BYTE* pBookmark1,
                                    DBBKMARK cbBookmark2, const BYTE* pBookmark2,
                                    DBCOMPARE* pComparison) override;
  HRESULT STDMETHODCALLTYPE GetRowsAt(HWATCHREGION hReserved1, HCHAPTER hReserved2,
                                      DBBKMARK cbBookmark, const BYTE* pBookmark,
                                      DBROWOFFSET lRowsOffset, DBROWCOUNT cRows,
                                      DBCOUNTITEM* pcRowsObtained, HROW** prghRows) override;
  HRESULT STDMETHODCALLTYPE GetRowsByBookmark(HCHAPTER hReserved, DBCOUNTITEM cRows,
                                              const DBBKMARK rgcbBookmarks[],
                                              const BYTE* rgpBookmarks[], HROW rghRows[],
                                              DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE Hash(HCHAPTER hReserved, DBBKMARK cBookmarks,
                                 const DBBKMARK rgcbBookmarks[], const BYTE* rgpBookmarks[],
                                 DBHASHVALUE rgHashedValues[], DBROWSTATUS rgBookmarkStatus[]) override;
  // IRowsetChange
  HRESULT STDMETHODCALLTYPE DeleteRows(HCHAPTER hReserved, DBCOUNTITEM cRows, const HROW rghRows[],
                                       DBROWSTATUS rgRowStatus[]) override;
  HRESULT STDMETHODCALLTYPE SetData(HROW hRow, HACCESSOR hAccessor, void* pData) override;
  HRESULT STDMETHODCALLTYPE InsertRow(HCHAPTER hReserved, HACCESSOR hAccessor, void* pData,
                                      HROW* phRow) override;
 protected:
  ~CSqliteRowset() override;
  void* FindInterface(REFIID riid) override;
  const std::vector<ColumnDesc>& Columns() const override { return m_columns; }
  bool HasBookmarks() const override { return m_bookmarks; }
  HRESULT GetRowsetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                              ULONG* pcPropertySets, DBPROPSET** prgPropertySets) override;
  void AccessorReleased(HACCESSOR hAccessor) override;

 private:
  enum class Fetch { Row, End, Failed };
  Fetch FetchRow(HROW& handle, REFIID errorIid, HRESULT& hr);
  HROW RowAtPosition(size_t position, REFIID errorIid, HRESULT& hr);
  // Positions whose rows (or keys) the rowset keeps.
  size_t KeptCount() const;
  void Remember(CSqliteRow& row);
  // A new handle for a kept position, read again by key or unpacked.
  HROW Recall(size_t position, HRESULT& hr);
  HROW RowByKey(int64_t key, HRESULT& hr);
  HROW RowByBookmark(DBBKMARK value, HRESULT& hr);
  // After a write: the kept copy follows the row.
  void RememberChange(CSqliteRow& row);
  void RememberDeletion(const CSqliteRow& row);
  void SetRowid(CSqliteRow& row) const;
  HRESULT BookmarkPosition(DBBKMARK cb, const BYTE* bookmark, size_t& position, REFIID iid);
  HRESULT ReadBindings(const Accessor& accessor, const BYTE* pData, SqliteColumnValues& values,
                       REFIID iid);
  // The values a row accessor's buffer gives for SetData and InsertRow.
  HRESULT ReadRowData(HACCESSOR hAccessor, void* pData, SqliteColumnValues& values);
  HRESULT WriteFailure(const SqliteWriteError& error, REFIID iid);
  // Keeps a failed step's result for this and every later fetch.
  void KeepFailure(int rc);
  void BuildColumns(sqlite3_stmt* stmt);
  HRESULT SettleUpdatability(sqlite3_stmt* stmt, REFIID errorIid);
  HRESULT FetchSequence(size_t start, DBROWCOUNT cRows, DBCOUNTITEM* pcRowsObtained,
                        HROW** prghRows, REFIID iid);

  std::shared_ptr<CSqliteConnection> m_connection;
  CSqliteStatement m_statement;
  int m_firstColumn;  // 1 when a hidden rowid leads the statement's columns
  CSqliteRowsetProperties m_properties;

  std::mutex m_mutex;  // taken before the connection's lock, never after
  std::vector<ColumnDesc> m_columns;
  // The one table the result maps onto, also on a read-only connection.
  std::unique_ptr<CSqliteTableWriter> m_writer;
  bool m_writable = false;
  bool m_bookmarks = false;
  bool m_byKey = false;  // with bookmarks: rows are read again by row id
  CSqliteRowStore m_rows;
  HACCESSOR m_cachedAccessorHandle = 0;
  Accessor m_cachedAccessor;

  bool m_rowPending = false;  // the statement stands on a row not yet taken
  bool m_done = false;
  // A read that failed mid-result: the rows before it are handed out, then
  // every later fetch reports it (never as the end of the rowset).
  SqliteWriteError m_failure;
  bool m_executedOnce = false;
  size_t m_fetched = 0;   // rows taken from the statement since execution
  size_t m_next = 0;      // position of the next row GetNextRows gives
  CSqliteRowKeys m_keys;             // by key: the row id of each position
  CSqlitePackedRows m_packed;        // otherwise: every row taken
  CSqlitePackedRows m_packedInserted;  // and the rows this rowset inserted
  std::vector<int64_t> m_insertedKeys;  // by key: rows this rowset inserted
  SqliteWriteError m_lastError;      // why a row could not be read again
  std::vector<HROW> m_obtained;      // the handles of the fetch under way
};

// Prepared statement -> rowset, for commands and OpenRowset. The caller
// holds the connection's lock.
HRESULT OpenSqliteRowset(std::shared_ptr<CSqliteConnection> connection,
                         CSqliteStatement statement, bool rowidLeads,
                         const CSqliteRowsetProperties& properties, IUnknown* creator,
                         REFIID riid, IUnknown** ppRowset, REFIID errorIid);
