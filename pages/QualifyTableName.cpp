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

bool FoldedByServer(const CString& name, LONG identifierCase) {
  const auto has = [&](bool (*test)(char)) {
    for (char c : name.str())
      if (test(c)) return true;
    return false;
  };
  if (identifierCase == DBPROPVAL_IC_LOWER) return has([](char c) { return c >= 'A' && c <= 'Z'; });
  if (identifierCase == DBPROPVAL_IC_UPPER) return has([](char c) { return c >= 'a' && c <= 'z'; });
  return false;
}

CString QualifyTableName(const TableNamingRules& rules, const CString& catalog, const CString& schema,
                         const CString& table) {
  const bool withCatalog = rules.catalogSupported && !catalog.IsEmpty();
  const auto quoted = [&](const CString& part) { return QuoteTableName(part, rules.quotePrefix, rules.quoteSuffix); };
  CString name;
  if (withCatalog && !rules.catalogAtEnd) name += catalog + rules.catalogSeparator;
  if (rules.schemaSupported && !schema.IsEmpty())
    name += (FoldedByServer(schema, rules.identifierCase) ? quoted(schema) : schema) + rules.schemaSeparator;
  if (table.Find(' ') >= 0 || FoldedByServer(table, rules.identifierCase))
    name += quoted(table);
  else
    name += table;
  if (withCatalog && rules.catalogAtEnd) name += rules.catalogSeparator + catalog;
  return name;
}
