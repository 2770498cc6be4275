// The ODBC data sources scripts/test sets up (a throwaway PostgreSQL and
// the SQLite sample through its ODBC driver). Tests that need one skip
// when the variables are absent, so a plain ctest passes.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

#include "ComPtr.h"
#include "oledb.h"

struct OdbcTarget {
  std::string dsn;
  std::string user;
  std::string password;
};

std::optional<OdbcTarget> PostgresTarget();
std::optional<OdbcTarget> SqliteOdbcTarget();

// Creates the ODBC provider's data source and sets the given properties;
// Initialize is left to the caller.
ComPtr<IDBInitialize> CreateOdbcDataSource(const std::string& dsn, const std::string& user = {},
                                           const std::string& password = {}, const std::string& extended = {});

#define SKIP_WITHOUT(target)                                                              \
  if (!(target)) GTEST_SKIP() << "no ODBC test data source (scripts/test sets them up)"
