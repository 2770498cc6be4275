#include "SqliteStatement.h"

#include <sqlite3.h>

#include <limits>

void CSqliteStatement::Finalizer::operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }

int CSqliteStatement::Prepare(sqlite3* db, std::string_view sql, std::string_view* tail) {
  sqlite3_stmt* stmt = nullptr;
  const char* end = nullptr;
  int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, &end);
  m_stmt.reset(stmt);
  if (tail) *tail = end ? std::string_view(end, sql.data() + sql.size() - end) : std::string_view{};
  return rc;
}

int CSqliteStatement::Step() { return sqlite3_step(m_stmt.get()); }
void CSqliteStatement::Reset() { sqlite3_reset(m_stmt.get()); }
int CSqliteStatement::ColumnCount() const { return sqlite3_column_count(m_stmt.get()); }

void CSqliteStatement::Bind(int index, const NativeValueView& v) {
  sqlite3_stmt* s = m_stmt.get();
  switch (v.kind) {
    case NativeKind::Null: sqlite3_bind_null(s, index); break;
    case NativeKind::Integer: sqlite3_bind_int64(s, index, v.integer); break;
    case NativeKind::Real: sqlite3_bind_double(s, index, v.real); break;
    case NativeKind::Text:
      sqlite3_bind_text64(s, index, static_cast<const char*>(v.data), v.size, SQLITE_TRANSIENT,
                          SQLITE_UTF8);
      break;
    case NativeKind::Blob:
      sqlite3_bind_blob64(s, index, v.data ? v.data : "", v.size, SQLITE_TRANSIENT);
      break;
  }
}

NativeValueView CSqliteStatement::Column(int i) const {
  sqlite3_stmt* s = m_stmt.get();
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER: return NativeValueView::Integer(sqlite3_column_int64(s, i));
    case SQLITE_FLOAT: return NativeValueView::Real(sqlite3_column_double(s, i));
    case SQLITE_TEXT: {
      auto p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
      return NativeValueView::Text({p, static_cast<size_t>(sqlite3_column_bytes(s, i))});
    }
    case SQLITE_BLOB: {
      const void* p = sqlite3_column_blob(s, i);
      return NativeValueView::Blob(p, static_cast<size_t>(sqlite3_column_bytes(s, i)));
    }
    default: return NativeValueView::Null();
  }
}

std::string CSqliteStatement::Text(int i) const {
  auto p = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt.get(), i));
  return p ? std::string(p, sqlite3_column_bytes(m_stmt.get(), i)) : std::string();
}

int64_t CSqliteStatement::Integer(int i) const { return sqlite3_column_int64(m_stmt.get(), i); }
bool CSqliteStatement::IsNull(int i) const {
  return sqlite3_column_type(m_stmt.get(), i) == SQLITE_NULL;
}

// Blanks and semicolons alone are empty; anything else (comments, control
// characters) is left to SQLite's own tokenizer, whose rules have corners
// ("/*" ending the text is an operator, not a comment): the tail is empty
// when it prepares to no statement.
bool IsEmptySqlTail(std::string_view t) {
  if (t.find_first_not_of(" \t\r\n;") == std::string_view::npos) return true;
  if (t.size() > static_cast<size_t>(std::numeric_limits<int>::max())) return false;
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(":memory:", &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_stmt* stmt = nullptr;
  if (rc == SQLITE_OK) rc = sqlite3_prepare_v2(db, t.data(), static_cast<int>(t.size()), &stmt, nullptr);
  bool empty = rc == SQLITE_OK && !stmt;
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return empty;
}

std::string QuoteIdentifier(std::string_view name) {
  std::string out = "\"";
  for (char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}
