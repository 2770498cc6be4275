// Reading the scan table through the SQLite provider the way the rowset
// viewer does, for the benchmarks that measure against that reading.
#pragma once

#include <cstddef>
#include <string>

#include "ComPtr.h"
#include "oledb.h"

// A session on the database opened read-only; empty when it cannot open.
ComPtr<IDBCreateCommand> OpenReadOnlySession(const std::string& path);
// The same, open for writing as well.
ComPtr<IDBCreateCommand> OpenReadWriteSession(const std::string& path);

// Runs the query on a new command of the session.
ComPtr<IRowset> ExecuteQuery(IDBCreateCommand* session, const char* query);
// Runs it as the Table Analyzer's Data runs "select * from" a table: with
// IRowsetLocate and IRowsetChange required.
ComPtr<IRowset> ExecuteAsTableData(IDBCreateCommand* session, const char* query);
// Runs it with IRowsetLocate required and IRowsetChange asked for where
// the result allows it.
ComPtr<IRowset> ExecuteWithBookmarks(IDBCreateCommand* session, const char* query);

// Reads every row of the scan query's rowset: GetNextRows of 20, every
// column bound as DBTYPE_STR | DBTYPE_BYREF and each string freed, keeping
// nothing. Returns the bytes of text read.
size_t ScanAsViewer(IRowset* rowset);
