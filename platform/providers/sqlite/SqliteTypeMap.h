// Rowset column types from SQLite's declared types (their affinity) or,
// for expressions, from the first value.
#pragma once

#include "oledb.h"

struct SqliteColumnType {
  DBTYPE type = DBTYPE_WSTR;
  DBLENGTH size = ~DBLENGTH{0};
  bool isLong = true;
  BYTE precision = 0xFF;
  BYTE scale = 0xFF;
};

// declared may be null or empty; valueType is SQLite's type code of the
// first value (SQLITE_NULL when there is none).
SqliteColumnType MapSqliteType(const char* declared, int valueType);
