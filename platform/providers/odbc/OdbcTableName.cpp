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

// Splits at the last separator outside quotes.
std::pair<std::u16string, std::u16string> SplitQualified(const std::u16string& name, char16_t quote) {
  bool quoted = false;
  size_t split = std::u16string::npos;
  for (size_t i = 0; i < name.size(); ++i) {
    if (name[i] == quote) quoted = !quoted;
    else if (name[i] == u'.' && !quoted) split = i;
  }
  if (split == std::u16string::npos) return {{}, name};
  return {name.substr(0, split), name.substr(split + 1)};
}

std::optional<OdbcTableName> Lookup(COdbcConnection& connection, const std::u16string* schema, const std::u16string& table) {
  COdbcHandle statement;
  if (!statement.Allocate(SQL_HANDLE_STMT, connection.Dbc())) return std::nullopt;
  // Names are matched as identifiers, not patterns.
  SQLSetStmtAttr(statement.Get(), SQL_ATTR_METADATA_ID, reinterpret_cast<SQLPOINTER>(SQL_FALSE), 0);
  std::u16string escape = connection.Info().searchEscape;
  auto escaped = [&](const std::u16string& s) {
    std::u16string out;
    for (char16_t c : s) {
      if (!escape.empty() && (c == u'%' || c == u'_' || c == escape[0])) out += escape;
      out += c;
    }
    return out;
  };
  std::u16string schemaArg = schema ? escaped(*schema) : u"", tableArg = escaped(table);
  if (!OdbcOk(SQLTablesW(statement.Get(), nullptr, 0, schema ? OdbcText(schemaArg) : nullptr,
                         schema ? SQL_NTS : 0, OdbcText(tableArg), SQL_NTS, nullptr, 0)))
    return std::nullopt;
  std::vector<OdbcTextRow> rows;
  if (!ReadAllRowsAsText(statement.Get(), rows)) return std::nullopt;
  const std::string wanted = OleToAnsi(table);
  for (const auto& row : rows) {
    if (row.size() < 3 || !row[2] || *row[2] != wanted) continue;
    return OdbcTableName{row[0] ? AnsiToOle(*row[0]) : u"", row[1] ? AnsiToOle(*row[1]) : u"", AnsiToOle(*row[2])};
  }
  return std::nullopt;
}

}  // namespace

std::optional<OdbcTableName> FindOdbcTable(COdbcConnection& connection, const std::u16string& name) {
  const std::u16string& quote = connection.Info().quote;
  if (auto whole = Lookup(connection, nullptr, Unquoted(name, quote))) return whole;
  auto [schema, table] = SplitQualified(name, quote.empty() ? u'"' : quote[0]);
  if (schema.empty()) return std::nullopt;
  std::u16string schemaName = Unquoted(schema, quote);
  return Lookup(connection, &schemaName, Unquoted(table, quote));
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
