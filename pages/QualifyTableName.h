// The name under which a listed table is sent to its provider: the catalog
// and schema it was listed with, joined by the provider's own separators,
// and the table name quoted when it holds a space.
#pragma once

#include "CString.h"

// What the provider's naming literals and catalog location say.
struct TableNamingRules {
  bool catalogSupported = false;
  bool schemaSupported = false;
  CString catalogSeparator;
  CString schemaSeparator;
  CString quotePrefix;
  CString quoteSuffix;
  bool catalogAtEnd = false;
};

// The table name between the quote literals, with every quote suffix
// inside it doubled so that the name cannot end its own quotes.
CString QuoteTableName(const CString& table, const CString& prefix, const CString& suffix);

// Catalog (in front or at the end) and schema appear only when supported
// and not empty; only a table name with a space is quoted.
CString QualifyTableName(const TableNamingRules& rules, const CString& catalog, const CString& schema,
                         const CString& table);
