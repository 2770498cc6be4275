// A connection of its own to an ODBC data source, straight through the
// driver manager: to prepare a server for a page test and to look at what
// reached it, independently of the provider under test. Header-only.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "OdbcApi.h"
#include "OdbcTestSupport.h"

namespace pagetest {

// The initialization string the Data Links answer with for `target`.
inline std::string OdbcInitString(const OdbcTarget& target) {
  return "Provider=Ravezov.ODBC;Data Source=" + target.dsn + ";User ID=" + target.user + ";Password=\"" +
         target.password + "\"";
}

class ServerDatabase {
 public:
  explicit ServerDatabase(const OdbcTarget& target) {
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
    SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
    std::string text = "DSN=" + target.dsn;
    if (!target.user.empty()) text += ";UID=" + target.user + ";PWD={" + target.password + "}";
    const SQLRETURN rc = SQLDriverConnect(m_dbc, nullptr, Text(text), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    m_connected = SQL_SUCCEEDED(rc);
    EXPECT_TRUE(m_connected) << "cannot reach " << target.dsn << ": " << Diagnostic(SQL_HANDLE_DBC, m_dbc);
  }
  ~ServerDatabase() {
    if (m_connected) SQLDisconnect(m_dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, m_env);
  }
  ServerDatabase(const ServerDatabase&) = delete;
  ServerDatabase& operator=(const ServerDatabase&) = delete;

  bool Exec(const std::string& sql) {
    Statement statement(m_dbc);
    const SQLRETURN rc = SQLExecDirect(statement.handle, Text(sql), SQL_NTS);
    const bool ok = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    EXPECT_TRUE(ok) << sql << ": " << Diagnostic(SQL_HANDLE_STMT, statement.handle);
    return ok;
  }
  // The first column of the first row as text; "<none>" without a row,
  // "<null>" for NULL.
  std::string Query(const std::string& sql) {
    Statement statement(m_dbc);
    if (!SQL_SUCCEEDED(SQLExecDirect(statement.handle, Text(sql), SQL_NTS)))
      return "<failed: " + Diagnostic(SQL_HANDLE_STMT, statement.handle) + ">";
    if (!SQL_SUCCEEDED(SQLFetch(statement.handle))) return "<none>";
    char value[1024];
    SQLLEN length = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement.handle, 1, SQL_C_CHAR, value, sizeof value, &length))) return "<failed>";
    return length == SQL_NULL_DATA ? "<null>" : std::string(value);
  }

 private:
  struct Statement {
    explicit Statement(SQLHDBC dbc) { SQLAllocHandle(SQL_HANDLE_STMT, dbc, &handle); }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, handle); }
    SQLHSTMT handle = SQL_NULL_HSTMT;
  };
  static SQLCHAR* Text(const std::string& s) { return reinterpret_cast<SQLCHAR*>(const_cast<char*>(s.c_str())); }
  static std::string Diagnostic(SQLSMALLINT type, SQLHANDLE handle) {
    SQLCHAR state[6] = "", message[512] = "";
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length))) return "";
    return std::string(reinterpret_cast<char*>(state)) + " " + reinterpret_cast<char*>(message);
  }

  SQLHENV m_env = SQL_NULL_HENV;
  SQLHDBC m_dbc = SQL_NULL_HDBC;
  bool m_connected = false;
};

}  // namespace pagetest
