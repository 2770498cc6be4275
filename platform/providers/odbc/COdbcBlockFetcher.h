// Reads a result through a bound block cursor: every column bound to an
// array, many rows per SQLFetch. Long columns are bound too, to a buffer of
// a few hundred characters that holds most of their values; a value that
// does not fit is read whole by SQLGetData in pieces, from its own row of
// the block where the driver allows that, else with one row per fetch.
#pragma once

#include <vector>

#include "ColumnDesc.h"
#include "COdbcRowStore.h"
#include "OdbcApi.h"
#include "OdbcTypes.h"

class COdbcBlockFetcher {
 public:
  static constexpr SQLULEN kBlockRows = 500;
  // Characters (or bytes) a long column's bound buffer holds per row.
  static constexpr SQLLEN kLongBoundUnits = 255;

  // Describes the result's columns and binds them; false on a driver
  // failure. `getDataExtensions` is the driver's SQL_GETDATA_EXTENSIONS.
  bool Prepare(SQLHSTMT statement, SQLUINTEGER getDataExtensions, SQLULEN blockRows = kBlockRows);
  const std::vector<ColumnDesc>& Columns() const { return m_columns; }
  // The rows per round trip the cursor was given.
  SQLULEN BlockRows() const { return m_blockRows; }

  enum class Result { Rows, End, Failed };
  // Fetches the next block into `store`.
  Result FetchBlock(COdbcRowStore& store);

 private:
  struct Bound {
    OdbcColumnType type;
    SQLLEN width = 0;  // bytes per row in the buffer; 0 when not bound
    std::vector<char> buffer;
    std::vector<SQLLEN> indicators;
  };
  bool Describe();
  bool Bind(SQLUINTEGER getDataExtensions, SQLULEN blockRows);
  // Whether a bound cell holds only part of its value.
  static bool Truncated(const Bound& b, SQLLEN indicator);
  void StoreBound(const Bound& b, size_t row, COdbcRowStore& store);
  bool StoreLong(size_t row, SQLUSMALLINT column, const OdbcColumnType& type, COdbcRowStore& store);

  SQLHSTMT m_statement = SQL_NULL_HSTMT;
  std::vector<ColumnDesc> m_columns;
  std::vector<Bound> m_bound;  // one per column
  SQLULEN m_blockRows = 1;
  SQLULEN m_fetched = 0;
  bool m_rereadable = false;  // a value cut short in its buffer can be read whole
  std::vector<SQLUSMALLINT> m_rowStatus;
};
