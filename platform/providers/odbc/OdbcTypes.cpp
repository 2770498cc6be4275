#include "OdbcTypes.h"

#include <algorithm>

OdbcColumnType MapOdbcType(SQLSMALLINT sqlType, SQLULEN odbcSize) {
  // Sizes beyond what a DBLENGTH holds are as good as unlimited: long.
  const DBLENGTH columnSize = odbcSize > 0x7FFFFFFF ? 0 : static_cast<DBLENGTH>(odbcSize);
  OdbcColumnType t;
  switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
      t = {DBTYPE_I4, NativeKind::Integer, SQL_C_SBIGINT, false, 4};
      return t;
    case SQL_BIGINT:
      t = {DBTYPE_I8, NativeKind::Integer, SQL_C_SBIGINT, false, 8};
      return t;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
      t = {DBTYPE_R8, NativeKind::Real, SQL_C_DOUBLE, false, 8};
      return t;
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY:
      t = {DBTYPE_BYTES, NativeKind::Blob, SQL_C_BINARY, false, columnSize};
      t.isLong = sqlType == SQL_LONGVARBINARY || columnSize == 0 || columnSize > kMaxBoundChars;
      return t;
    default:
      // Text, and what text shows best: decimals keep their digits, dates
      // and times their server's form.
      t = {DBTYPE_WSTR, NativeKind::Text, SQL_C_WCHAR, false, columnSize};
      if (sqlType == SQL_DECIMAL || sqlType == SQL_NUMERIC) t.size = columnSize + 2;  // sign and point
      if (sqlType == SQL_TYPE_DATE || sqlType == SQL_TYPE_TIME || sqlType == SQL_TYPE_TIMESTAMP)
        t.size = std::max<DBLENGTH>(columnSize, 32);
      t.isLong = sqlType == SQL_LONGVARCHAR || sqlType == SQL_WLONGVARCHAR || t.size == 0 ||
                 t.size > kMaxBoundChars;
      return t;
  }
}
