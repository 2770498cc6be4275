#include "SortText.h"

namespace {

constexpr char kOrderBy[] = "order by";
constexpr size_t kOrderByLength = sizeof kOrderBy - 1;
constexpr char kDesc[] = "desc";

// Keeps the characters before `position - 1`: the one character before a
// clause (normally its space) goes with it.
std::string CutBefore(const std::string& text, size_t position) {
  return text.substr(0, position == 0 ? 0 : position - 1);
}

}  // namespace

std::string BracketedName(const std::string& name) {
  std::string bracketed = "[";
  for (char c : name) {
    bracketed += c;
    if (c == ']') bracketed += ']';
  }
  return bracketed + "]";
}

std::string SelectAllFromTable(const std::string& table) { return "select * from " + BracketedName(table); }

std::string ToggleOrderBy(std::string sql, const std::string& column) {
  const std::string clause = " order by " + BracketedName(column);
  // The name as it stands in the text between its brackets.
  const std::string name = BracketedName(column).substr(1, BracketedName(column).size() - 2);
  const size_t orderBy = sql.find(kOrderBy);
  if (orderBy == std::string::npos) return sql + clause;
  const size_t named = sql.find(name, orderBy + kOrderByLength);
  if (named == std::string::npos) return CutBefore(sql, orderBy) + clause;
  const size_t desc = sql.find(kDesc, named + 1);
  if (desc == std::string::npos) return sql + " desc";
  return CutBefore(sql, desc);
}
