#include "SqliteRowid.h"

#include <sqlite3.h>

#include <vector>

#include "SqliteStatement.h"

namespace {

struct TableColumn {
  std::string name;
  std::string type;
  bool primaryKey = false;
};

std::string Pragma(const std::string& catalog, const char* pragma, const std::string& argument) {
  return "PRAGMA " + QuoteIdentifier(catalog) + "." + pragma + "(" + QuoteIdentifier(argument) + ")";
}

int ReadColumns(sqlite3* db, const std::string& catalog, const std::string& table,
                std::vector<TableColumn>& columns) {
  CSqliteStatement info;
  if (int rc = info.Prepare(db, Pragma(catalog, "table_xinfo", table)); rc != SQLITE_OK) return rc;
  int rc;
  while ((rc = info.Step()) == SQLITE_ROW)
    columns.push_back({info.Text(1), info.Text(2), info.Integer(5) > 0});
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

bool Shadows(const std::vector<TableColumn>& columns, const char* name) {
  for (const auto& c : columns)
    if (sqlite3_stricmp(c.name.c_str(), name) == 0) return true;
  return false;
}

// Whether the primary key is backed by an index of its own: then it is no
// alias of the row id (INTEGER PRIMARY KEY DESC, WITHOUT ROWID tables).
int HasKeyIndex(sqlite3* db, const std::string& catalog, const std::string& table, bool& has) {
  CSqliteStatement list;
  if (int rc = list.Prepare(db, Pragma(catalog, "index_list", table)); rc != SQLITE_OK) return rc;
  int rc;
  has = false;
  while ((rc = list.Step()) == SQLITE_ROW) has |= list.Text(3) == "pk";
  return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

int FindAlias(sqlite3* db, const std::string& catalog, const std::string& table,
              const std::vector<TableColumn>& columns, SqliteRowidColumn& out) {
  const TableColumn* key = nullptr;
  for (const auto& c : columns) {
    if (!c.primaryKey) continue;
    if (key) return SQLITE_OK;  // a key of several columns
    key = &c;
  }
  if (!key || sqlite3_stricmp(key->type.c_str(), "INTEGER") != 0) return SQLITE_OK;
  bool indexed = false;
  if (int rc = HasKeyIndex(db, catalog, table, indexed); rc != SQLITE_OK) return rc;
  if (!indexed) out.alias = key->name;
  return SQLITE_OK;
}

}  // namespace

int RowidColumnSql(sqlite3* db, const std::string& catalog, const std::string& table,
                   SqliteRowidColumn& out) {
  out = {};
  std::vector<TableColumn> columns;
  if (int rc = ReadColumns(db, catalog, table, columns); rc != SQLITE_OK) return rc;
  for (const char* name : {"rowid", "_rowid_", "oid"}) {
    if (Shadows(columns, name)) continue;
    // Views and WITHOUT ROWID tables have no row id to name.
    CSqliteStatement probe;
    std::string sql = std::string("SELECT ") + name + " FROM " + QuoteIdentifier(catalog) + "." +
                      QuoteIdentifier(table) + " LIMIT 0";
    if (probe.Prepare(db, sql) != SQLITE_OK) return SQLITE_OK;
    out = {SqliteRowidKind::Named, name, {}};
    return FindAlias(db, catalog, table, columns, out);
  }
  out.kind = SqliteRowidKind::Shadowed;
  if (int rc = FindAlias(db, catalog, table, columns, out); rc != SQLITE_OK) return rc;
  if (!out.alias.empty()) {
    out.kind = SqliteRowidKind::Named;
    out.sql = QuoteIdentifier(out.alias);
  }
  return SQLITE_OK;
}
