// Finding a table a consumer names: bare, quoted ("x", [x], `x`), or
// qualified by its database (main.x).
#pragma once

#include <optional>
#include <string>

struct sqlite3;

struct SqliteTableRef {
  std::string catalog;
  std::string name;
  bool isView = false;
};

// The name is tried literally first, then as a possibly quoted and
// qualified name. A failed read (a lock held by another connection) stops
// the search at once with SQLite's code in `rc`, so it is neither waited
// for twice nor taken for a missing table. The caller holds the
// connection's lock.
std::optional<SqliteTableRef> ResolveSqliteTable(sqlite3* db, const std::string& text, int& rc);
