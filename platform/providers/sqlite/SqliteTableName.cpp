#include "SqliteTableName.h"

#include <sqlite3.h>

#include <vector>

#include "SqliteStatement.h"

namespace {

std::vector<std::string> Catalogs(sqlite3* db) {
  std::vector<std::string> names;
  CSqliteStatement list;
  if (list.Prepare(db, "PRAGMA database_list") != SQLITE_OK) return names;
  while (list.Step() == SQLITE_ROW) names.push_back(list.Text(1));
  return names;
}

std::optional<SqliteTableRef> Find(sqlite3* db, const std::string& catalog,
                                   const std::string& name) {
  CSqliteStatement find;
  std::string sql = "SELECT name, type FROM " + QuoteIdentifier(catalog) +
                    ".sqlite_schema WHERE type IN ('table', 'view') AND name = ?1 COLLATE NOCASE";
  if (find.Prepare(db, sql) != SQLITE_OK) return std::nullopt;
  find.Bind(1, NativeValueView::Text(name));
  if (find.Step() != SQLITE_ROW) return std::nullopt;
  return SqliteTableRef{catalog, find.Text(0), find.Text(1) == "view"};
}

std::optional<SqliteTableRef> FindAnywhere(sqlite3* db, const std::string& name) {
  for (const auto& catalog : Catalogs(db))
    if (auto found = Find(db, catalog, name)) return found;
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

std::optional<SqliteTableRef> ResolveSqliteTable(sqlite3* db, const std::string& text) {
  if (text.empty()) return std::nullopt;
  if (auto found = FindAnywhere(db, text)) return found;
  auto parts = SplitName(text);
  if (!parts) return std::nullopt;
  if (parts->size() == 1) return FindAnywhere(db, (*parts)[0]);
  if (parts->size() == 2) return Find(db, (*parts)[0], (*parts)[1]);
  return std::nullopt;
}
