#include "SqliteTableName.h"

#include <sqlite3.h>

#include <vector>

#include "SqliteStatement.h"

namespace {

std::vector<std::string> Catalogs(sqlite3* db, int& rc) {
  std::vector<std::string> names;
  CSqliteStatement list;
  if ((rc = list.Prepare(db, "PRAGMA database_list")) != SQLITE_OK) return names;
  while ((rc = list.Step()) == SQLITE_ROW) names.push_back(list.Text(1));
  if (rc == SQLITE_DONE) rc = SQLITE_OK;
  return names;
}

std::optional<SqliteTableRef> Find(sqlite3* db, const std::string& catalog,
                                   const std::string& name, int& rc) {
  CSqliteStatement find;
  std::string sql = "SELECT name, type FROM " + QuoteIdentifier(catalog) +
                    ".sqlite_schema WHERE type IN ('table', 'view') AND name = ?1 COLLATE NOCASE";
  if ((rc = find.Prepare(db, sql)) != SQLITE_OK) return std::nullopt;
  find.Bind(1, NativeValueView::Text(name));
  rc = find.Step();
  if (rc != SQLITE_ROW) {
    if (rc == SQLITE_DONE) rc = SQLITE_OK;
    return std::nullopt;
  }
  rc = SQLITE_OK;
  return SqliteTableRef{catalog, find.Text(0), find.Text(1) == "view"};
}

std::optional<SqliteTableRef> FindAnywhere(sqlite3* db, const std::string& name, int& rc) {
  auto catalogs = Catalogs(db, rc);
  if (rc != SQLITE_OK) return std::nullopt;
  for (const auto& catalog : catalogs) {
    auto found = Find(db, catalog, name, rc);
    if (found || rc != SQLITE_OK) return found;
  }
  return std::nullopt;
}

// Splits a.b, "a"."b", [a].[b] and `a`.`b` into their parts; nullopt when
// the text is not such a name.
std::optional<std::vector<std::string>> SplitName(const std::string& text) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i <= text.size()) {
    std::string part;
    if (i < text.size() && (text[i] == '"' || text[i] == '[' || text[i] == '`')) {
      char close = text[i] == '[' ? ']' : text[i];
      ++i;
      for (;;) {
        if (i >= text.size()) return std::nullopt;
        if (text[i] == close) {
          if (close != ']' && i + 1 < text.size() && text[i + 1] == close) {
            part += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        part += text[i++];
      }
    } else {
      while (i < text.size() && text[i] != '.') part += text[i++];
    }
    if (part.empty()) return std::nullopt;
    parts.push_back(part);
    if (i == text.size()) break;
    if (text[i] != '.') return std::nullopt;
    ++i;
  }
  return parts;
}

}  // namespace

std::optional<SqliteTableRef> ResolveSqliteTable(sqlite3* db, const std::string& text, int& rc) {
  rc = SQLITE_OK;
  if (text.empty()) return std::nullopt;
  auto found = FindAnywhere(db, text, rc);
  if (found || rc != SQLITE_OK) return found;
  auto parts = SplitName(text);
  if (!parts) return std::nullopt;
  if (parts->size() == 1) return FindAnywhere(db, (*parts)[0], rc);
  if (parts->size() == 2) return Find(db, (*parts)[0], (*parts)[1], rc);
  return std::nullopt;
}
