// A provider for the Table Analyzer tests, laid over a real SQLite data
// source: it answers with naming literals and a catalog location of its
// own (or no IDBInfo at all), may list made-up tables, and its sessions may
// lack commands, lack columns rowsets or know names with a space only in
// square brackets. Everything else goes to the SQLite objects beneath.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "oledb.h"

struct FakeTableRow {
  std::string name;
  std::string catalog;  // empty: NULL
  std::string schema;   // empty: NULL
};

struct TablesProviderScript {
  // Naming.
  bool hasDbInfo = true;
  bool catalogSupported = true;
  bool schemaSupported = true;
  std::u16string catalogSeparator = u".";
  std::u16string schemaSeparator = u".";
  std::u16string quotePrefix = u"[";
  std::u16string quoteSuffix = u"]";
  LONG catalogLocation = DBPROPVAL_CL_START;

  // Sessions.
  bool commands = true;
  bool columnsRowset = true;
  bool bracketedNamesOnly = false;
  // Replaces the DBSCHEMA_TABLES rows when set.
  std::optional<std::vector<FakeTableRow>> tables;
  bool tablesFail = false;  // DBSCHEMA_TABLES refused with an error record

  // What the page asked for.
  std::vector<std::string> openedNames;
  std::vector<GUID> openedInterfaces;
  std::vector<std::string> schemaTableRestrictions;  // TABLE_NAME of DBSCHEMA_COLUMNS requests
};

// An initialized SQLite data source over the file.
ComPtr<IDBInitialize> OpenSqliteFile(const std::string& path);

// The test provider over `inner` (initialized). `script` must outlive it.
ComPtr<IDBInitialize> CreateTablesTestProvider(IDBInitialize* inner, TablesProviderScript& script);
