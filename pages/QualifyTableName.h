// The name under which a listed table is sent to its provider: the catalog
// and schema it was listed with, joined by the provider's own separators,
// and the table name quoted when it holds a space. A server that folds
// unquoted names to one case would look for another table (Orders becomes
// orders), so names with letters of the other case are quoted there too.
#pragma once

#include "CString.h"
#include "oledb.h"

// What the provider's naming literals and catalog location say.
struct TableNamingRules {
  bool catalogSupported = false;
  bool schemaSupported = false;
  CString catalogSeparator;
  CString schemaSeparator;
  CString quotePrefix;
  CString quoteSuffix;
  bool catalogAtEnd = false;
  LONG identifierCase = 0;  // DBPROPVAL_IC_* of unquoted names; 0 when unknown
};

// The table name between the quote literals, with every quote suffix
// inside it doubled so that the name cannot end its own quotes.
CString QuoteTableName(const CString& table, const CString& prefix, const CString& suffix);

// True when the server, folding unquoted names to `identifierCase`, would
// read `name` as another name.
bool FoldedByServer(const CString& name, LONG identifierCase);

// Catalog (in front or at the end) and schema appear only when supported
// and not empty; a table name with a space is quoted, and a table or
// schema name the server would fold.
CString QualifyTableName(const TableNamingRules& rules, const CString& catalog, const CString& schema,
                         const CString& table);
