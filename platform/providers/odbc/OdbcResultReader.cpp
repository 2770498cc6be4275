#include "OdbcResultReader.h"

#include "stringapiset.h"

bool ReadCellText(SQLHSTMT statement, SQLUSMALLINT column, std::optional<std::string>& cell) {
  std::u16string text;
  SQLWCHAR piece[1024];
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(statement, column, SQL_C_WCHAR, piece, sizeof piece, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!OdbcOk(rc)) return false;
    if (indicator == SQL_NULL_DATA) {
      cell.reset();
      return true;
    }
    // A piece is full (less its terminator) unless the driver said less.
    const size_t capacity = std::size(piece) - 1;
    size_t units = indicator == SQL_NO_TOTAL || indicator / static_cast<SQLLEN>(sizeof(SQLWCHAR)) > static_cast<SQLLEN>(capacity)
                       ? capacity
                       : static_cast<size_t>(indicator) / sizeof(SQLWCHAR);
    text += FromOdbcText(piece, units);
    if (rc == SQL_SUCCESS) break;
  }
  cell = OleToAnsi(text);
  return true;
}

bool ReadAllRowsAsText(SQLHSTMT statement, std::vector<OdbcTextRow>& rows) {
  SQLSMALLINT columns = 0;
  if (!OdbcOk(SQLNumResultCols(statement, &columns))) return false;
  for (;;) {
    SQLRETURN rc = SQLFetch(statement);
    if (rc == SQL_NO_DATA) return true;
    if (!OdbcOk(rc)) return false;
    OdbcTextRow row(static_cast<size_t>(columns));
    for (SQLSMALLINT c = 1; c <= columns; ++c)
      if (!ReadCellText(statement, static_cast<SQLUSMALLINT>(c), row[static_cast<size_t>(c - 1)])) return false;
    rows.push_back(std::move(row));
  }
}
