// Reads a result through a bound block cursor: every short column bound
// to an array, many rows per SQLFetch; long columns read by SQLGetData in
// pieces (then one row per fetch, as drivers allow SQLGetData only there).
#pragma once

#include <vector>

#include "ColumnDesc.h"
#include "COdbcRowStore.h"
#include "OdbcApi.h"
#include "OdbcTypes.h"

class COdbcBlockFetcher {
 public:
  static constexpr SQLULEN kBlockRows = 500;

  // Describes the result's columns and binds them; false on a driver failure.
  bool Prepare(SQLHSTMT statement);
  const std::vector<ColumnDesc>& Columns() const { return m_columns; }
  // The rows per round trip the cursor was given.
  SQLULEN BlockRows() const { return m_blockRows; }

  enum class Result { Rows, End, Failed };
  // Fetches the next block into `store`.
  Result FetchBlock(COdbcRowStore& store);

 private:
  struct Bound {
    OdbcColumnType type;
    SQLLEN width = 0;  // bytes per row in the buffer
    std::vector<char> buffer;
    std::vector<SQLLEN> indicators;
  };
  bool Describe();
  bool Bind();
  void StoreBound(const Bound& b, size_t row, COdbcRowStore& store);
  bool StoreLong(SQLUSMALLINT column, const OdbcColumnType& type, COdbcRowStore& store);

  SQLHSTMT m_statement = SQL_NULL_HSTMT;
  std::vector<ColumnDesc> m_columns;
  std::vector<Bound> m_bound;  // one per column
  SQLULEN m_blockRows = 1;
  SQLULEN m_fetched = 0;
  std::vector<SQLUSMALLINT> m_rowStatus;
};
