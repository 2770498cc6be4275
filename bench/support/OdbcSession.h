// Sessions of the ODBC provider for the benchmarks, and the data sources
// scripts/test's cluster provides.
#pragma once

#include <benchmark/benchmark.h>

#include <string>

#include "ComPtr.h"
#include "oledb.h"

// A session on an ODBC connection string (used as given); empty when the
// connection fails.
ComPtr<IDBCreateCommand> OpenOdbcSession(const std::string& connection);
// "DSN=..." for the throwaway PostgreSQL, or empty when none is set up.
std::string PostgresConnection();
// The same, or, when none is set up, empty with `state` marked skipped
// and its loop run out, so the caller only returns.
std::string PostgresConnectionOrSkip(benchmark::State& state);
