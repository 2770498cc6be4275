#include "RawOdbcConnection.h"

#include <cstdlib>

#include "stringapiset.h"

RawOdbcConnection::RawOdbcConnection(const std::string& connection) {
  SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
  SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
  std::u16string wide = AnsiToOle(connection);
  if (!OdbcOk(SQLDriverConnectW(m_dbc, nullptr, OdbcText(wide), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
    std::abort();
}

RawOdbcConnection::~RawOdbcConnection() {
  SQLDisconnect(m_dbc);
  SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
  SQLFreeHandle(SQL_HANDLE_ENV, m_env);
}

void RawOdbcConnection::Run(const std::string& sql) const {
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt);
  std::u16string wide = AnsiToOle(sql);
  SQLExecDirectW(stmt, OdbcText(wide), SQL_NTS);
  SQLFreeHandle(SQL_HANDLE_STMT, stmt);
}

void LoadPostgresScanTable(const std::string& connection) {
  static bool loaded = false;
  if (loaded || connection.empty()) return;
  RawOdbcConnection c(connection);
  c.Run("DROP TABLE IF EXISTS scan");
  c.Run("CREATE TABLE scan AS SELECT n AS id, 'SYM' || (n % 97) AS symbol, (n * 37) % 500 AS quantity, "
        "(n % 10000) / 100.0::float8 AS price, 'note ' || n AS note FROM generate_series(1, 1000000) AS g(n)");
  c.Run("ALTER TABLE scan ADD PRIMARY KEY (id)");
  loaded = true;
}
