// A query run raw on a connection's bound block cursor, every result
// column bound as UTF-16 text of one width, for the raw baselines of the
// ODBC benchmarks. The statement is freed with the cursor.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "OdbcApi.h"
#include "RawOdbcConnection.h"

class RawBlockCursor {
 public:
  RawBlockCursor(const RawOdbcConnection& connection, const char* sql, SQLULEN blockRows, SQLLEN widthBytes);
  ~RawBlockCursor();
  RawBlockCursor(const RawBlockCursor&) = delete;
  RawBlockCursor& operator=(const RawBlockCursor&) = delete;

  // The next block; false at the end.
  bool Fetch();
  SQLULEN Fetched() const { return m_fetched; }
  size_t Columns() const { return m_buffers.size(); }
  // The text of a cell of the block, or nothing for NULL.
  std::optional<std::u16string_view> Cell(size_t column, SQLULEN row) const;

 private:
  SQLHSTMT m_stmt = SQL_NULL_HSTMT;
  SQLLEN m_width;
  SQLULEN m_fetched = 0;
  std::vector<std::vector<char>> m_buffers;
  std::vector<std::vector<SQLLEN>> m_indicators;
};
