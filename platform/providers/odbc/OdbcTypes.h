// How an ODBC column type is read and offered: the OLE DB type clients see,
// the kind of native value, the C type fetched and whether it is long.
#pragma once

#include "NativeValue.h"
#include "OdbcApi.h"
#include "oledb.h"

struct OdbcColumnType {
  DBTYPE type = DBTYPE_WSTR;
  NativeKind kind = NativeKind::Text;
  SQLSMALLINT cType = SQL_C_WCHAR;
  bool isLong = false;  // read by SQLGetData in pieces, not bound
  DBLENGTH size = 0;    // characters, bytes, or the fixed size
};

// Values wider than this are read in pieces rather than bound.
inline constexpr SQLULEN kMaxBoundChars = 4000;

OdbcColumnType MapOdbcType(SQLSMALLINT sqlType, SQLULEN columnSize);
