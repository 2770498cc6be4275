#include "QualifyTableName.h"

CString QuoteTableName(const CString& table, const CString& prefix, const CString& suffix) {
  CString quoted = prefix;
  if (suffix.IsEmpty()) {
    quoted += table;
  } else {
    const std::string& name = table.str();
    const std::string& closing = suffix.str();
    size_t from = 0;
    for (size_t at = name.find(closing); at != std::string::npos; at = name.find(closing, from)) {
      quoted += CString(name.substr(from, at - from)) + suffix + suffix;
      from = at + closing.size();
    }
    quoted += CString(name.substr(from));
  }
  quoted += suffix;
  return quoted;
}

CString QualifyTableName(const TableNamingRules& rules, const CString& catalog, const CString& schema,
                         const CString& table) {
  const bool withCatalog = rules.catalogSupported && !catalog.IsEmpty();
  CString name;
  if (withCatalog && !rules.catalogAtEnd) name += catalog + rules.catalogSeparator;
  if (rules.schemaSupported && !schema.IsEmpty()) name += schema + rules.schemaSeparator;
  if (table.Find(' ') >= 0)
    name += QuoteTableName(table, rules.quotePrefix, rules.quoteSuffix);
  else
    name += table;
  if (withCatalog && rules.catalogAtEnd) name += rules.catalogSeparator + catalog;
  return name;
}
