#include "OdbcTableName.h"

#include "OdbcResultReader.h"
#include "stringapiset.h"

namespace {

std::u16string Unquoted(const std::u16string& part, const std::u16string& quote) {
  if (quote.size() != 1 || part.size() < 2 || part.front() != quote[0] || part.back() != quote[0]) return part;
  std::u16string out;
  for (size_t i = 1; i + 1 < part.size(); ++i) {
    out += part[i];
    if (part[i] == quote[0] && i + 2 < part.size() && part[i + 1] == quote[0]) ++i;
  }
  return out;
}

// The parts between the separators outside quotes.
std::vector<std::u16string> SplitQualified(const std::u16string& name, char16_t quote) {
  std::vector<std::u16string> parts(1);
  bool quoted = false;
  for (char16_t c : name) {
    if (c == quote) quoted = !quoted;
    if (c == u'.' && !quoted) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

// A search argument with the pattern characters escaped, so a name
// matches only itself.
std::u16string Escaped(const std::u16string& s, const std::u16string& escape) {
  std::u16string out;
  for (char16_t c : s) {
    if (!escape.empty() && (c == u'%' || c == u'_' || c == escape[0])) out += escape;
    out += c;
  }
  return out;
}

std::optional<OdbcTableName> Lookup(COdbcConnection& connection, const OdbcTableName& wanted) {
  COdbcHandle statement;
  if (!statement.Allocate(SQL_HANDLE_STMT, connection.Dbc())) return std::nullopt;
  // Names are matched as identifiers, not patterns.
  SQLSetStmtAttr(statement.Get(), SQL_ATTR_METADATA_ID, reinterpret_cast<SQLPOINTER>(SQL_FALSE), 0);
  const std::u16string& escape = connection.Info().searchEscape;
  std::u16string catalog = wanted.catalog, schema = Escaped(wanted.schema, escape),
                 table = Escaped(wanted.name, escape);
  const auto arg = [](std::u16string& s) { return s.empty() ? nullptr : OdbcText(s); };
  if (!OdbcOk(SQLTablesW(statement.Get(), arg(catalog), catalog.empty() ? 0 : SQL_NTS, arg(schema),
                         schema.empty() ? 0 : SQL_NTS, OdbcText(table), SQL_NTS, nullptr, 0)))
    return std::nullopt;
  std::vector<OdbcTextRow> rows;
  if (!ReadAllRowsAsText(statement.Get(), rows)) return std::nullopt;
  const auto same = [](const std::optional<std::string>& cell, const std::u16string& part) {
    return part.empty() || (cell && *cell == OleToAnsi(part));
  };
  for (const auto& row : rows) {
    if (row.size() < 3 || !row[2] || *row[2] != OleToAnsi(wanted.name)) continue;
    if (!same(row[0], wanted.catalog) || !same(row[1], wanted.schema)) continue;
    return OdbcTableName{row[0] ? AnsiToOle(*row[0]) : u"", row[1] ? AnsiToOle(*row[1]) : u"", AnsiToOle(*row[2])};
  }
  return std::nullopt;
}

}  // namespace

std::optional<OdbcTableName> FindOdbcTable(COdbcConnection& connection, const std::u16string& name) {
  const std::u16string& quote = connection.Info().quote;
  if (auto whole = Lookup(connection, {{}, {}, Unquoted(name, quote)})) return whole;
  std::vector<std::u16string> parts = SplitQualified(name, quote.empty() || quote == u" " ? u'"' : quote[0]);
  for (auto& part : parts) part = Unquoted(part, quote);
  if (parts.size() == 3) return Lookup(connection, {parts[0], parts[1], parts[2]});
  if (parts.size() != 2) return std::nullopt;
  // Two parts are a schema and a table, or on a server without schemas a
  // catalog and a table.
  if (auto inSchema = Lookup(connection, {{}, parts[0], parts[1]})) return inSchema;
  return Lookup(connection, {parts[0], {}, parts[1]});
}

std::u16string QuoteOdbcIdentifier(const OdbcServerInfo& info, const std::u16string& identifier) {
  if (info.quote.empty() || info.quote == u" ") return identifier;
  std::u16string out = info.quote;
  for (char16_t c : identifier) {
    out += c;
    if (c == info.quote[0]) out += c;
  }
  return out + info.quote;
}

std::u16string QualifiedOdbcName(const OdbcServerInfo& info, const OdbcTableName& table) {
  std::u16string out;
  if (!table.schema.empty()) out = QuoteOdbcIdentifier(info, table.schema) + u".";
  return out + QuoteOdbcIdentifier(info, table.name);
}
