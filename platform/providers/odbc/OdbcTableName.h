// Finding a table the client names, and naming it back to the server
// qualified and quoted the way the server wants.
#pragma once

#include <optional>
#include <string>

#include "COdbcConnection.h"

struct OdbcTableName {
  std::u16string catalog, schema, name;
};

// `name` as the table name alone, "schema.table" (or "catalog.table" on a
// server without schemas) or "catalog.schema.table"; each part may be
// quoted with the server's identifier quote. The caller holds the lock.
std::optional<OdbcTableName> FindOdbcTable(COdbcConnection& connection, const std::u16string& name);
std::u16string QualifiedOdbcName(const OdbcServerInfo& info, const OdbcTableName& table);
// One identifier quoted, the quote doubled inside it.
std::u16string QuoteOdbcIdentifier(const OdbcServerInfo& info, const std::u16string& identifier);
