#include "OdbcStatementCount.h"

namespace {

bool IsSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f'; }

// The index just past a quoted run that starts at `at` (quotes doubled inside).
size_t SkipQuoted(std::u16string_view sql, size_t at) {
  const char16_t quote = sql[at];
  for (size_t i = at + 1; i < sql.size(); ++i) {
    if (sql[i] != quote) continue;
    if (i + 1 < sql.size() && sql[i + 1] == quote) {
      ++i;
      continue;
    }
    return i + 1;
  }
  return sql.size();
}

}  // namespace

size_t CountSqlStatements(std::u16string_view sql) {
  size_t count = 0;
  bool content = false;  // the current statement has something besides space and comments
  for (size_t i = 0; i < sql.size();) {
    const char16_t c = sql[i];
    if (c == u'\'' || c == u'"' || c == u'`') {
      content = true;
      i = SkipQuoted(sql, i);
    } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
      size_t end = sql.find(u'\n', i);
      i = end == std::u16string_view::npos ? sql.size() : end + 1;
    } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
      size_t end = sql.find(u"*/", i + 2);
      i = end == std::u16string_view::npos ? sql.size() : end + 2;
    } else if (c == u';') {
      if (content) ++count;
      content = false;
      ++i;
    } else {
      if (!IsSpace(c)) content = true;
      ++i;
    }
  }
  return count + (content ? 1 : 0);
}
