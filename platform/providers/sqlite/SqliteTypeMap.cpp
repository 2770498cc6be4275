#include "SqliteTypeMap.h"

#include <sqlite3.h>

#include <cctype>
#include <cstdlib>
#include <string>

namespace {

SqliteColumnType Fixed(DBTYPE type, DBLENGTH size, BYTE precision) {
  return {type, size, false, precision, 0xFF};
}

SqliteColumnType Variable(DBTYPE type, const std::string& declared) {
  // "VARCHAR(40)" declares a length; SQLite does not enforce it, but it is
  // the best size a consumer can have.
  size_t open = declared.find('(');
  if (open != std::string::npos) {
    long n = std::strtol(declared.c_str() + open + 1, nullptr, 10);
    if (n > 0) return {type, static_cast<DBLENGTH>(n), false, 0xFF, 0xFF};
  }
  return {type, ~DBLENGTH{0}, true, 0xFF, 0xFF};
}

SqliteColumnType FromValue(int valueType) {
  switch (valueType) {
    case SQLITE_INTEGER: return Fixed(DBTYPE_I8, 8, 19);
    case SQLITE_FLOAT: return Fixed(DBTYPE_R8, 8, 15);
    case SQLITE_BLOB: return {DBTYPE_BYTES, ~DBLENGTH{0}, true, 0xFF, 0xFF};
    default: return {};
  }
}

}  // namespace

SqliteColumnType MapSqliteType(const char* declared, int valueType) {
  if (!declared || !*declared) return FromValue(valueType);
  std::string upper(declared);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  auto has = [&](const char* part) { return upper.find(part) != std::string::npos; };
  // The affinity rules, in SQLite's order.
  if (has("INT")) return Fixed(DBTYPE_I8, 8, 19);
  if (has("CHAR") || has("CLOB") || has("TEXT")) return Variable(DBTYPE_WSTR, upper);
  if (has("BLOB")) return Variable(DBTYPE_BYTES, upper);
  if (has("REAL") || has("FLOA") || has("DOUB")) return Fixed(DBTYPE_R8, 8, 15);
  // Numeric affinity. Dates are kept as text by convention.
  if (has("DATE") || has("TIME")) return Variable(DBTYPE_WSTR, "");
  return Fixed(DBTYPE_R8, 8, 15);
}
