#include "SqliteTableWriter.h"

#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "SqliteRowid.h"
#include "SqliteSavepoint.h"
#include "SqliteStatement.h"

namespace {

// "?N", the numbered parameter marker.
std::string Parameter(size_t number) {
  std::string marker = "?";
  marker += std::to_string(number);
  return marker;
}

SqliteWriteError FromSqlite(sqlite3* db) {
  int code = sqlite3_extended_errcode(db);
  HRESULT hr = (code & 0xFF) == SQLITE_CONSTRAINT ? DB_E_INTEGRITYVIOLATION : E_FAIL;
  return {hr, sqlite3_errmsg(db), code};
}

// What one change did to the table: exactly one row, or a refusal.
SqliteWriteError OneRowChanged(sqlite3* db) {
  sqlite3_int64 changed = sqlite3_changes64(db);
  if (changed == 0) return {DB_E_DELETEDROW, "The row no longer exists in the table.", 0};
  if (changed > 1)
    return {E_FAIL,
            "The change would reach " + std::to_string(changed) +
                " rows, as the row is not identified uniquely; nothing was changed.",
            0};
  return {};
}

// Runs a change in a savepoint that is rolled back unless it succeeded.
template <typename Change>
SqliteWriteError InSavepoint(sqlite3* db, Change change) {
  CSqliteSavepoint savepoint(db);
  if (savepoint.Status() != SQLITE_OK) return FromSqlite(db);
  SqliteWriteError error = change();
  if (FAILED(error.hr)) return error;
  if (savepoint.Release() != SQLITE_OK) return FromSqlite(db);
  return error;
}

std::string NoKeyReason(const std::string& table, SqliteRowidKind rowid) {
  if (rowid == SqliteRowidKind::Shadowed)
    return "The table '" + table +
           "' has user columns named rowid, _rowid_ and oid that hide its row id, and no "
           "primary key in the result, so rows cannot be identified for changes.";
  return "The table '" + table +
         "' has no primary key and the result carries no rowid, so rows cannot be "
         "identified for changes.";
}

}  // namespace

std::unique_ptr<CSqliteTableWriter> CSqliteTableWriter::ForStatement(sqlite3* db,
                                                                     sqlite3_stmt* stmt,
                                                                     int first, bool rowidLeads,
                                                                     std::string& whyNot,
                                                                     int& rc) {
  rc = SQLITE_OK;
  auto writer = std::unique_ptr<CSqliteTableWriter>(new CSqliteTableWriter);
  int count = sqlite3_column_count(stmt);
  if (count <= first) {
    whyNot = "The result has no columns to change.";
    return nullptr;
  }
  for (int i = first; i < count; ++i) {
    const char* catalog = sqlite3_column_database_name(stmt, i);
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* origin = sqlite3_column_origin_name(stmt, i);
    if (!catalog || !table || !origin) {
      whyNot = std::string("The result column '") + sqlite3_column_name(stmt, i) +
               "' is not a column of a table, so the result is not updatable.";
      return nullptr;
    }
    if (i == first) {
      writer->m_catalog = catalog;
      writer->m_table = table;
    } else if (writer->m_catalog != catalog ||
               sqlite3_stricmp(writer->m_table.c_str(), table) != 0) {
      whyNot = "The result combines columns of more than one table, so it is not updatable.";
      return nullptr;
    }
    writer->m_columns.push_back(origin);
  }
  SqliteRowidColumn rowid;
  rc = RowidColumnSql(db, writer->m_catalog, writer->m_table, rowid);
  if (rc != SQLITE_OK) {
    whyNot = sqlite3_errmsg(db);
    return nullptr;
  }
  writer->m_rowid = rowid.sql;
  writer->m_rowidLeads = rowidLeads && writer->HasRowid();
  if (!rowid.alias.empty()) {
    for (size_t i = 0; i < writer->m_columns.size(); ++i)
      if (sqlite3_stricmp(writer->m_columns[i].c_str(), rowid.alias.c_str()) == 0)
        writer->m_rowidColumn = i;
  }
  if (writer->RowsCarryRowid()) return writer;

  // Without the row id in the result, rows are found by the whole primary key.
  CSqliteStatement info;
  std::string sql = "PRAGMA " + QuoteIdentifier(writer->m_catalog) + ".table_info(" +
                    QuoteIdentifier(writer->m_table) + ")";
  if ((rc = info.Prepare(db, sql)) != SQLITE_OK) {
    whyNot = sqlite3_errmsg(db);
    return nullptr;
  }
  std::map<int64_t, std::string> keyByOrder;
  while ((rc = info.Step()) == SQLITE_ROW)
    if (int64_t pk = info.Integer(5); pk > 0) keyByOrder[pk] = info.Text(1);
  if (rc != SQLITE_DONE) {
    whyNot = sqlite3_errmsg(db);
    return nullptr;
  }
  rc = SQLITE_OK;
  if (keyByOrder.empty()) {
    whyNot = NoKeyReason(writer->m_table, rowid.kind);
    return nullptr;
  }
  for (const auto& entry : keyByOrder) {
    const std::string& name = entry.second;
    auto it = std::find_if(writer->m_columns.begin(), writer->m_columns.end(),
                           [&name](const std::string& c) { return sqlite3_stricmp(c.c_str(), name.c_str()) == 0; });
    if (it == writer->m_columns.end()) {
      whyNot = "The result lacks the primary key column '" + name +
               "', so rows cannot be identified for changes.";
      return nullptr;
    }
    writer->m_keyColumns.push_back(static_cast<size_t>(it - writer->m_columns.begin()));
  }
  return writer;
}

bool CSqliteTableWriter::IsKeyColumn(size_t i) const {
  return std::find(m_keyColumns.begin(), m_keyColumns.end(), i) != m_keyColumns.end();
}

std::string CSqliteTableWriter::QualifiedTable() const {
  return QuoteIdentifier(m_catalog) + "." + QuoteIdentifier(m_table);
}

std::string CSqliteTableWriter::RowidCondition(size_t parameter) const {
  return m_rowid + " = " + Parameter(parameter);
}

std::string CSqliteTableWriter::RowCondition(size_t firstParameter) const {
  if (RowsCarryRowid()) return RowidCondition(firstParameter);
  std::string where;
  for (size_t k = 0; k < m_keyColumns.size(); ++k) {
    if (k) where += " AND ";
    where += QuoteIdentifier(m_columns[m_keyColumns[k]]) + " IS " + Parameter(firstParameter + k);
  }
  return where;
}

void CSqliteTableWriter::BindRowCondition(CSqliteStatement& statement, int firstParameter,
                                          const CSqliteRow& row) const {
  if (RowsCarryRowid()) {
    statement.Bind(firstParameter, NativeValueView::Integer(row.rowid));
    return;
  }
  for (size_t k = 0; k < m_keyColumns.size(); ++k)
    statement.Bind(firstParameter + static_cast<int>(k), row.Value(m_keyColumns[k]));
}

SqliteWriteError CSqliteTableWriter::FindRowid(sqlite3* db, const CSqliteRow& row,
                                               int64_t& rowid) const {
  if (RowsCarryRowid()) {
    rowid = row.rowid;
    return {};
  }
  CSqliteStatement find;
  if (find.Prepare(db, "SELECT " + m_rowid + " FROM " + QualifiedTable() + " WHERE " +
                           RowCondition(1) + " LIMIT 2") != SQLITE_OK)
    return FromSqlite(db);
  BindRowCondition(find, 1, row);
  int rc = find.Step();
  if (rc == SQLITE_DONE) return {DB_E_DELETEDROW, "The row no longer exists in the table.", 0};
  if (rc != SQLITE_ROW) return FromSqlite(db);
  rowid = find.Integer(0);
  rc = find.Step();
  if (rc == SQLITE_ROW)
    return {E_FAIL, "More than one row has this primary key; nothing was changed.", 0};
  if (rc != SQLITE_DONE) return FromSqlite(db);
  return {};
}

SqliteWriteError CSqliteTableWriter::ReadBack(sqlite3* db, const std::string& condition,
                                              const std::vector<NativeValue>& keys,
                                              CSqliteRow& row) const {
  std::string sql = "SELECT " + (HasRowid() ? m_rowid : std::string("NULL"));
  for (const auto& c : m_columns) sql += ", " + QuoteIdentifier(c);
  sql += " FROM " + QualifiedTable() + " WHERE " + condition;
  CSqliteStatement read;
  if (read.Prepare(db, sql) != SQLITE_OK) return FromSqlite(db);
  for (size_t i = 0; i < keys.size(); ++i) read.Bind(static_cast<int>(i + 1), keys[i].View());
  int rc = read.Step();
  if (rc == SQLITE_DONE) return {DB_E_DELETEDROW, "The changed row could not be read back.", 0};
  if (rc != SQLITE_ROW) return FromSqlite(db);
  row.Capture(read.Get(), 1, static_cast<int>(m_columns.size()));
  if (HasRowid()) row.rowid = read.Integer(0);
  return {};
}

SqliteWriteError CSqliteTableWriter::ReadByRowid(sqlite3* db, int64_t rowid, CSqliteRow& row) const {
  return ReadBack(db, RowidCondition(1), {NativeValue::Integer(rowid)}, row);
}

SqliteWriteError CSqliteTableWriter::Update(sqlite3* db, CSqliteRow& row,
                                            const SqliteColumnValues& changes) const {
  if (changes.empty()) return {};
  // The row takes the values read back only once the change is kept.
  CSqliteRow changed;
  SqliteWriteError error = InSavepoint(db, [&] { return UpdateRow(db, row, changes, changed); });
  if (SUCCEEDED(error.hr)) row.TakeValues(changed);
  return error;
}

SqliteWriteError CSqliteTableWriter::UpdateRow(sqlite3* db, const CSqliteRow& row,
                                               const SqliteColumnValues& changes,
                                               CSqliteRow& changed) const {
  int64_t rowid = 0;
  if (HasRowid()) {
    if (auto e = FindRowid(db, row, rowid); FAILED(e.hr)) return e;
  }
  std::string sql = "UPDATE " + QualifiedTable() + " SET ";
  for (size_t i = 0; i < changes.size(); ++i) {
    if (i) sql += ", ";
    sql += QuoteIdentifier(m_columns[changes[i].first]) + " = " + Parameter(i + 1);
  }
  size_t next = changes.size() + 1;
  sql += " WHERE " + (HasRowid() ? RowidCondition(next) : RowCondition(next));
  CSqliteStatement update;
  if (update.Prepare(db, sql) != SQLITE_OK) return FromSqlite(db);
  for (size_t i = 0; i < changes.size(); ++i)
    update.Bind(static_cast<int>(i + 1), changes[i].second.View());
  if (HasRowid())
    update.Bind(static_cast<int>(next), NativeValueView::Integer(rowid));
  else
    BindRowCondition(update, static_cast<int>(next), row);
  if (update.Step() != SQLITE_DONE) return FromSqlite(db);
  if (auto e = OneRowChanged(db); FAILED(e.hr)) return e;

  if (HasRowid()) {
    // An edit of the INTEGER PRIMARY KEY column moves the row to a new row id.
    NativeValue key = NativeValue::Integer(rowid);
    for (const auto& change : changes)
      if (change.first == m_rowidColumn) key = change.second;
    return ReadBack(db, RowidCondition(1), {key}, changed);
  }
  // Without a row id the key may itself have changed: look for the new one.
  std::vector<NativeValue> keys;
  for (size_t k : m_keyColumns) {
    NativeValue key = row.Copy(k);
    for (const auto& change : changes)
      if (change.first == k) key = change.second;
    keys.push_back(std::move(key));
  }
  return ReadBack(db, RowCondition(1), keys, changed);
}

SqliteWriteError CSqliteTableWriter::Insert(sqlite3* db, const SqliteColumnValues& values,
                                            CSqliteRow& out) const {
  return InSavepoint(db, [&] { return InsertRow(db, values, out); });
}

SqliteWriteError CSqliteTableWriter::InsertRow(sqlite3* db, const SqliteColumnValues& values,
                                               CSqliteRow& out) const {
  std::string sql = "INSERT INTO " + QualifiedTable();
  if (values.empty()) {
    sql += " DEFAULT VALUES";
  } else {
    std::string names, marks;
    for (size_t i = 0; i < values.size(); ++i) {
      if (i) names += ", ", marks += ", ";
      names += QuoteIdentifier(m_columns[values[i].first]);
      marks += Parameter(i + 1);
    }
    sql += " (" + names + ") VALUES (" + marks + ")";
  }
  CSqliteStatement insert;
  if (insert.Prepare(db, sql) != SQLITE_OK) return FromSqlite(db);
  for (size_t i = 0; i < values.size(); ++i) insert.Bind(static_cast<int>(i + 1), values[i].second.View());
  if (insert.Step() != SQLITE_DONE) return FromSqlite(db);

  if (HasRowid())
    return ReadBack(db, RowidCondition(1), {NativeValue::Integer(sqlite3_last_insert_rowid(db))}, out);
  std::vector<NativeValue> keys;
  for (size_t k : m_keyColumns) {
    auto it = std::find_if(values.begin(), values.end(), [k](const auto& v) { return v.first == k; });
    keys.push_back(it == values.end() ? NativeValue::Null() : it->second);
  }
  return ReadBack(db, RowCondition(1), keys, out);
}

SqliteWriteError CSqliteTableWriter::Delete(sqlite3* db, const CSqliteRow& row) const {
  return InSavepoint(db, [&] { return DeleteRow(db, row); });
}

SqliteWriteError CSqliteTableWriter::DeleteRow(sqlite3* db, const CSqliteRow& row) const {
  CSqliteStatement del;
  if (del.Prepare(db, "DELETE FROM " + QualifiedTable() + " WHERE " + RowCondition(1)) != SQLITE_OK)
    return FromSqlite(db);
  BindRowCondition(del, 1, row);
  if (del.Step() != SQLITE_DONE) return FromSqlite(db);
  return OneRowChanged(db);
}
