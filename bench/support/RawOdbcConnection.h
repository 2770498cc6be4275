// A connection through the driver manager alone, for the raw baselines the
// ODBC benchmarks measure against; a failed connection ends the run.
#pragma once

#include <string>

#include "OdbcApi.h"

class RawOdbcConnection {
 public:
  explicit RawOdbcConnection(const std::string& connection);
  ~RawOdbcConnection();
  RawOdbcConnection(const RawOdbcConnection&) = delete;
  RawOdbcConnection& operator=(const RawOdbcConnection&) = delete;

  SQLHDBC Dbc() const { return m_dbc; }
  // Runs a statement, ignoring what it returns.
  void Run(const std::string& sql) const;

 private:
  SQLHENV m_env = SQL_NULL_HENV;
  SQLHDBC m_dbc = SQL_NULL_HDBC;
};

// The scan table (as ScanDatabase makes it, with its primary key) in the
// PostgreSQL of `connection`, made once per process; nothing when empty.
void LoadPostgresScanTable(const std::string& connection);
