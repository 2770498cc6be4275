#include "RawBlockCursor.h"

#include <string>

#include "stringapiset.h"

RawBlockCursor::RawBlockCursor(const RawOdbcConnection& connection, const char* sql, SQLULEN blockRows,
                               SQLLEN widthBytes)
    : m_width(widthBytes) {
  SQLAllocHandle(SQL_HANDLE_STMT, connection.Dbc(), &m_stmt);
  SQLSetStmtAttr(m_stmt, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(blockRows), 0);
  SQLSetStmtAttr(m_stmt, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0);
  std::u16string query = AnsiToOle(sql);
  SQLExecDirectW(m_stmt, OdbcText(query), SQL_NTS);
  SQLSMALLINT columns = 0;
  SQLNumResultCols(m_stmt, &columns);
  const auto count = static_cast<size_t>(columns > 0 ? columns : 0);
  m_buffers.assign(count, std::vector<char>(blockRows * static_cast<SQLULEN>(widthBytes)));
  m_indicators.assign(count, std::vector<SQLLEN>(blockRows));
  for (size_t col = 0; col < count; ++col)
    SQLBindCol(m_stmt, static_cast<SQLUSMALLINT>(col + 1), SQL_C_WCHAR, m_buffers[col].data(), widthBytes,
               m_indicators[col].data());
}

RawBlockCursor::~RawBlockCursor() { SQLFreeHandle(SQL_HANDLE_STMT, m_stmt); }

bool RawBlockCursor::Fetch() { return OdbcOk(SQLFetch(m_stmt)); }

std::optional<std::u16string_view> RawBlockCursor::Cell(size_t column, SQLULEN row) const {
  const SQLLEN n = m_indicators[column][row];
  if (n == SQL_NULL_DATA) return std::nullopt;
  return std::u16string_view(reinterpret_cast<const char16_t*>(m_buffers[column].data() + row * m_width),
                             static_cast<size_t>(n) / 2);
}
