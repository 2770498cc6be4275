// Writes rowset changes straight to the base table of a single-table
// result: one UPDATE, INSERT or DELETE per change, the row found by its
// row id (under a name no user column shadows) or primary key, and read
// back afterwards so defaults and conversions show. Each change runs in a
// savepoint: one that fails, or that would touch more than the one row,
// changes nothing.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "NativeValue.h"
#include "SqliteRow.h"
#include "SqliteStatement.h"

struct sqlite3;
struct sqlite3_stmt;

struct SqliteWriteError {
  HRESULT hr = S_OK;
  std::string text;
  int nativeError = 0;
};

using SqliteColumnValues = std::vector<std::pair<size_t, NativeValue>>;

class CSqliteTableWriter {
 public:
  // Null when the result cannot be written back; `whyNot` says why and
  // `rc` carries SQLite's code when reading the table's layout failed (a
  // lock). The statement's result columns start at `first` (1 when a
  // hidden row id leads them).
  static std::unique_ptr<CSqliteTableWriter> ForStatement(sqlite3* db, sqlite3_stmt* stmt,
                                                          int first, bool rowidLeads,
                                                          std::string& whyNot, int& rc);

  const std::string& Table() const { return m_table; }
  const std::string& Catalog() const { return m_catalog; }
  const std::string& BaseColumn(size_t i) const { return m_columns[i]; }
  bool IsKeyColumn(size_t i) const;
  // Whether every row carries its row id: leading the result, or as the
  // INTEGER PRIMARY KEY column among the result columns. The rowset fills
  // CSqliteRow::rowid from either.
  bool RowsCarryRowid() const { return m_rowidLeads || m_rowidColumn != kNone; }
  // The result column (counted from `first`) holding the row id, if any.
  size_t RowidResultColumn() const { return m_rowidColumn; }
  static constexpr size_t kNone = ~size_t{0};
  // Reads the row with this row id afresh; DB_E_DELETEDROW when it is gone.
  SqliteWriteError ReadByRowid(sqlite3* db, int64_t rowid, CSqliteRow& row) const;

  SqliteWriteError Update(sqlite3* db, CSqliteRow& row, const SqliteColumnValues& changes) const;
  SqliteWriteError Insert(sqlite3* db, const SqliteColumnValues& values, CSqliteRow& out) const;
  SqliteWriteError Delete(sqlite3* db, const CSqliteRow& row) const;

 private:
  SqliteWriteError UpdateRow(sqlite3* db, const CSqliteRow& row, const SqliteColumnValues& changes,
                             CSqliteRow& changed) const;
  SqliteWriteError InsertRow(sqlite3* db, const SqliteColumnValues& values, CSqliteRow& out) const;
  SqliteWriteError DeleteRow(sqlite3* db, const CSqliteRow& row) const;
  std::string RowidCondition(size_t parameter) const;
  bool HasRowid() const { return !m_rowid.empty(); }
  std::string QualifiedTable() const;
  std::string RowCondition(size_t firstParameter) const;
  void BindRowCondition(CSqliteStatement& statement, int firstParameter,
                        const CSqliteRow& row) const;
  SqliteWriteError FindRowid(sqlite3* db, const CSqliteRow& row, int64_t& rowid) const;
  SqliteWriteError ReadBack(sqlite3* db, const std::string& condition,
                            const std::vector<NativeValue>& keys, CSqliteRow& row) const;

  std::string m_catalog;
  std::string m_table;
  std::vector<std::string> m_columns;  // base column of each result column
  std::vector<size_t> m_keyColumns;    // result columns of the primary key
  bool m_rowidLeads = false;           // rows carry their row id before their columns
  size_t m_rowidColumn = kNone;        // the result column aliasing the row id
  std::string m_rowid;                 // how the row id is named; empty when none is free
};
