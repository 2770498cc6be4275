// Naming a table's row id so that a user column cannot stand in for it.
#pragma once

#include <string>

struct sqlite3;

enum class SqliteRowidKind {
  Named,     // `sql` names the row id
  Shadowed,  // rowid, _rowid_ and oid are all user columns and no alias is declared
  None,      // a view or a WITHOUT ROWID table
};

struct SqliteRowidColumn {
  SqliteRowidKind kind = SqliteRowidKind::None;
  std::string sql;  // rowid, _rowid_, oid or the quoted INTEGER PRIMARY KEY column
  std::string alias;  // the INTEGER PRIMARY KEY column, when the table declares one
};

// The first of rowid, _rowid_ and oid that no user column shadows, else
// the INTEGER PRIMARY KEY column that aliases the row id. Returns SQLite's
// result code of a failed read (a lock, a damaged schema); the caller holds
// the connection's lock.
int RowidColumnSql(sqlite3* db, const std::string& catalog, const std::string& table,
                   SqliteRowidColumn& out);
