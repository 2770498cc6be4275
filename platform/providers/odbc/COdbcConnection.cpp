#include "COdbcConnection.h"

#include "OdbcDiagnostics.h"

namespace {

std::u16string Trimmed(std::u16string s) {
  while (!s.empty() && s.back() == u' ') s.pop_back();
  return s;
}

}  // namespace

std::shared_ptr<COdbcConnection> COdbcConnection::Open(const OdbcConnectionSettings& settings,
                                                       LONG timeoutSeconds, REFIID iid, HRESULT& hr) {
  auto c = std::make_shared<COdbcConnection>();
  c->m_password = settings.password;
  if (!c->m_env.Allocate(SQL_HANDLE_ENV, SQL_NULL_HANDLE)) {
    hr = PostOdbcError(E_FAIL, iid, "The ODBC driver manager could not be loaded.");
    return nullptr;
  }
  SQLSetEnvAttr(c->m_env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
  if (!c->m_dbc.Allocate(SQL_HANDLE_DBC, c->m_env.Get())) {
    hr = PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_ENV, c->m_env.Get(), "No ODBC connection could be made.");
    return nullptr;
  }
  if (timeoutSeconds > 0)
    SQLSetConnectAttr(c->m_dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(timeoutSeconds)), 0);
  std::u16string text = BuildOdbcConnectionString(settings);
  SQLWCHAR out[1024];
  SQLSMALLINT outLength = 0;
  SQLRETURN rc = SQLDriverConnectW(c->m_dbc.Get(), nullptr, OdbcText(text), static_cast<SQLSMALLINT>(text.size()),
                                   out, static_cast<SQLSMALLINT>(std::size(out)), &outLength, SQL_DRIVER_NOPROMPT);
  if (!OdbcOk(rc)) {
    hr = PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_DBC, c->m_dbc.Get(), "The ODBC connection failed.",
                             settings.password);
    // Freed once, by its holder (the driver manager answers the disconnect
    // of a connection that never opened with a state error); freeing it
    // here as well handed the driver manager a handle it had already freed.
    c->m_dbc.Reset();
    return nullptr;
  }
  c->ReadInfo();
  hr = S_OK;
  return c;
}

std::u16string COdbcConnection::InfoText(SQLUSMALLINT type) const {
  SQLWCHAR buffer[512];
  SQLSMALLINT bytes = 0;
  if (!OdbcOk(SQLGetInfoW(m_dbc.Get(), type, buffer, sizeof buffer, &bytes))) return {};
  size_t units = std::min<size_t>(bytes < 0 ? 0 : static_cast<size_t>(bytes) / sizeof(SQLWCHAR), std::size(buffer) - 1);
  return FromOdbcText(buffer, units);
}

template <class T>
T COdbcConnection::InfoValue(SQLUSMALLINT type, T fallback) const {
  T value = fallback;
  if (!OdbcOk(SQLGetInfoW(m_dbc.Get(), type, &value, sizeof value, nullptr))) return fallback;
  return value;
}

void COdbcConnection::ReadInfo() {
  m_info.dbmsName = InfoText(SQL_DBMS_NAME);
  m_info.dbmsVersion = InfoText(SQL_DBMS_VER);
  m_info.dataSourceName = InfoText(SQL_DATA_SOURCE_NAME);
  m_info.driverName = InfoText(SQL_DRIVER_NAME);
  m_info.quote = InfoText(SQL_IDENTIFIER_QUOTE_CHAR);
  m_info.catalogSeparator = InfoText(SQL_CATALOG_NAME_SEPARATOR);
  m_info.catalogTerm = InfoText(SQL_CATALOG_TERM);
  m_info.schemaTerm = InfoText(SQL_SCHEMA_TERM);
  m_info.tableTerm = InfoText(SQL_TABLE_TERM);
  m_info.searchEscape = InfoText(SQL_SEARCH_PATTERN_ESCAPE);
  m_info.catalogLocation = InfoValue<SQLUSMALLINT>(SQL_CATALOG_LOCATION, 0);
  m_info.identifierCase = InfoValue<SQLUSMALLINT>(SQL_IDENTIFIER_CASE, SQL_IC_MIXED);
  m_info.catalogUsage = InfoValue<SQLUINTEGER>(SQL_CATALOG_USAGE, 0);
  m_info.schemaUsage = InfoValue<SQLUINTEGER>(SQL_SCHEMA_USAGE, 0);
  m_info.getDataExtensions = InfoValue<SQLUINTEGER>(SQL_GETDATA_EXTENSIONS, 0);
  m_info.maxIdentifierLength = InfoValue<SQLUSMALLINT>(SQL_MAX_IDENTIFIER_LEN, 0);
  m_info.readOnly = Trimmed(InfoText(SQL_DATA_SOURCE_READ_ONLY)) == u"Y";
  m_info.multipleResults = Trimmed(InfoText(SQL_MULT_RESULT_SETS)) == u"Y";
}

COdbcHandle COdbcConnection::NewStatement(REFIID iid, HRESULT& hr) {
  COdbcHandle statement;
  if (!statement.Allocate(SQL_HANDLE_STMT, m_dbc.Get())) {
    hr = PostOdbcDiagnostics(E_FAIL, iid, SQL_HANDLE_DBC, m_dbc.Get(), "No statement could be made on the connection.");
    return statement;
  }
  hr = S_OK;
  return statement;
}
