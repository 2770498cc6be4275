#include "COdbcBlockFetcher.h"

#include <algorithm>
#include <cstring>

#include "stringapiset.h"

bool COdbcBlockFetcher::Prepare(SQLHSTMT statement, SQLUINTEGER getDataExtensions, SQLULEN blockRows) {
  m_statement = statement;
  return Describe() && Bind(getDataExtensions, std::max<SQLULEN>(blockRows, 1));
}

bool COdbcBlockFetcher::Describe() {
  SQLSMALLINT count = 0;
  if (!OdbcOk(SQLNumResultCols(m_statement, &count))) return false;
  for (SQLSMALLINT i = 1; i <= count; ++i) {
    SQLWCHAR name[256];
    SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = SQL_NULLABLE_UNKNOWN;
    SQLULEN size = 0;
    if (!OdbcOk(SQLDescribeColW(m_statement, static_cast<SQLUSMALLINT>(i), name, 256, &nameLength, &sqlType, &size,
                                &digits, &nullable)))
      return false;
    Bound b;
    b.type = MapOdbcType(sqlType, size);
    ColumnDesc c;
    c.name = FromOdbcText(name, std::min<size_t>(nameLength < 0 ? 0 : static_cast<size_t>(nameLength), 255));
    c.type = b.type.type;
    c.size = b.type.isLong ? ~DBLENGTH{0} : b.type.size;
    c.flags = DBCOLUMNFLAGS_WRITEUNKNOWN;
    if (b.type.isLong) c.flags |= DBCOLUMNFLAGS_ISLONG;
    if (b.type.kind == NativeKind::Integer || b.type.kind == NativeKind::Real) c.flags |= DBCOLUMNFLAGS_ISFIXEDLENGTH;
    if (nullable != SQL_NO_NULLS) c.flags |= DBCOLUMNFLAGS_ISNULLABLE | DBCOLUMNFLAGS_MAYBENULL;
    if (b.type.kind == NativeKind::Real) c.precision = 15;
    if (b.type.kind == NativeKind::Integer) c.precision = b.type.type == DBTYPE_I8 ? 19 : 10;
    m_columns.push_back(std::move(c));
    m_bound.push_back(std::move(b));
  }
  return true;
}

bool COdbcBlockFetcher::Bind(SQLUINTEGER getDataExtensions, SQLULEN blockRows) {
  // Any text or bytes may be longer than its buffer (a long column's
  // always may; a driver without types may say 255 and give more). The rest
  // comes by SQLGetData on the bound column, and on a row inside a block
  // only where the driver allows that: elsewhere one row per fetch.
  bool anyVariable = false;
  for (const Bound& b : m_bound)
    anyVariable = anyVariable || b.type.kind == NativeKind::Text || b.type.kind == NativeKind::Blob;
  const bool bindLong = (getDataExtensions & SQL_GD_BOUND) != 0;
  const bool readInBlock = (getDataExtensions & SQL_GD_BLOCK) != 0;
  m_blockRows = !anyVariable || (bindLong && readInBlock) ? blockRows : 1;
  SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0);
  if (!OdbcOk(SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(m_blockRows), 0)))
    m_blockRows = 1;
  m_rereadable = bindLong && (m_blockRows == 1 || readInBlock);
  m_rowStatus.assign(m_blockRows, 0);
  SQLSetStmtAttr(m_statement, SQL_ATTR_ROWS_FETCHED_PTR, &m_fetched, 0);
  SQLSetStmtAttr(m_statement, SQL_ATTR_ROW_STATUS_PTR, m_rowStatus.data(), 0);
  for (size_t i = 0; i < m_bound.size(); ++i) {
    Bound& b = m_bound[i];
    if (b.type.isLong && !bindLong) continue;
    // One unit more than the values should need (and the terminator): a
    // value that fills it is longer than it should be, and is read whole.
    const SQLLEN units = (b.type.isLong ? kLongBoundUnits : static_cast<SQLLEN>(b.type.size)) + 1;
    switch (b.type.kind) {
      case NativeKind::Integer: b.width = sizeof(int64_t); break;
      case NativeKind::Real: b.width = sizeof(double); break;
      case NativeKind::Blob: b.width = units; break;
      default: b.width = (units + 1) * static_cast<SQLLEN>(sizeof(SQLWCHAR)); break;
    }
    b.buffer.assign(static_cast<size_t>(b.width) * m_blockRows, 0);
    b.indicators.assign(m_blockRows, 0);
    if (!OdbcOk(SQLBindCol(m_statement, static_cast<SQLUSMALLINT>(i + 1), b.type.cType, b.buffer.data(), b.width,
                           b.indicators.data())))
      return false;
  }
  return true;
}

bool COdbcBlockFetcher::Truncated(const Bound& b, SQLLEN indicator) {
  if (indicator == SQL_NO_TOTAL) return true;
  if (indicator < 0) return false;  // null
  // A value that fills its buffer may have been cut: some drivers give the
  // length copied rather than the whole length.
  switch (b.type.kind) {
    case NativeKind::Blob: return indicator >= b.width;
    case NativeKind::Text: return indicator >= b.width - static_cast<SQLLEN>(sizeof(SQLWCHAR));
    default: return false;
  }
}

void COdbcBlockFetcher::StoreBound(const Bound& b, size_t row, COdbcRowStore& store) {
  SQLLEN indicator = b.indicators[row];
  if (indicator == SQL_NO_TOTAL) indicator = b.width;
  const char* cell = b.buffer.data() + row * static_cast<size_t>(b.width);
  if (indicator == SQL_NULL_DATA) return store.AddNull();
  switch (b.type.kind) {
    case NativeKind::Integer: {
      int64_t v;
      std::memcpy(&v, cell, sizeof v);
      return store.AddInteger(v);
    }
    case NativeKind::Real: {
      double v;
      std::memcpy(&v, cell, sizeof v);
      return store.AddReal(v);
    }
    case NativeKind::Blob:
      return store.AddBytes(NativeKind::Blob, cell, std::min<size_t>(static_cast<size_t>(indicator), static_cast<size_t>(b.width)));
    default: {
      size_t units = std::min<size_t>(static_cast<size_t>(indicator) / sizeof(SQLWCHAR),
                                      static_cast<size_t>(b.width) / sizeof(SQLWCHAR) - 1);
      return store.AddText(std::u16string_view(reinterpret_cast<const char16_t*>(cell), units));
    }
  }
}

bool COdbcBlockFetcher::StoreLong(size_t row, SQLUSMALLINT column, const OdbcColumnType& type, COdbcRowStore& store) {
  if (m_blockRows > 1 &&
      !OdbcOk(SQLSetPos(m_statement, static_cast<SQLSETPOSIROW>(row + 1), SQL_POSITION, SQL_LOCK_NO_CHANGE)))
    return false;
  const bool binary = type.kind == NativeKind::Blob;
  std::string bytes;
  char piece[8192];
  const size_t usable = binary ? sizeof piece : sizeof piece - sizeof(SQLWCHAR);  // less the terminator
  for (;;) {
    SQLLEN indicator = 0;
    SQLRETURN rc = SQLGetData(m_statement, column, type.cType, piece, sizeof piece, &indicator);
    if (rc == SQL_NO_DATA) break;
    if (!OdbcOk(rc)) return false;
    if (indicator == SQL_NULL_DATA) {
      store.AddNull();
      return true;
    }
    size_t got = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > usable ? usable : static_cast<size_t>(indicator);
    bytes.append(piece, got);
    if (rc == SQL_SUCCESS) break;
  }
  if (binary) {
    store.AddBytes(NativeKind::Blob, bytes.data(), bytes.size());
  } else {
    store.AddText(std::u16string_view(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2));
  }
  return true;
}

COdbcBlockFetcher::Result COdbcBlockFetcher::FetchBlock(COdbcRowStore& store) {
  m_fetched = 0;
  SQLRETURN rc = SQLFetch(m_statement);
  if (rc == SQL_NO_DATA) return Result::End;
  if (!OdbcOk(rc)) return Result::Failed;
  const size_t before = store.Rows();
  for (size_t row = 0; row < m_fetched; ++row) {
    if (m_rowStatus[row] == SQL_ROW_ERROR) {
      store.Truncate(before);
      return Result::Failed;
    }
    for (size_t i = 0; i < m_bound.size(); ++i) {
      const Bound& b = m_bound[i];
      if (b.width && !(m_rereadable && Truncated(b, b.indicators[row]))) {
        StoreBound(b, row, store);
      } else if (!StoreLong(row, static_cast<SQLUSMALLINT>(i + 1), b.type, store)) {
        store.Truncate(before);
        return Result::Failed;
      }
    }
  }
  return m_fetched ? Result::Rows : Result::End;
}
