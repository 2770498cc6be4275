#include "COdbcDataSource.h"

#include <cstring>

#include "COdbcSession.h"
#include "ErrorRecords.h"
#include "LiteralInfo.h"
#include "OdbcDiagnostics.h"
#include "OdbcProperties.h"
#include "stringapiset.h"

namespace {

LONG CatalogUsage(SQLUINTEGER odbc) {
  LONG usage = 0;
  if (odbc & SQL_CU_DML_STATEMENTS) usage |= DBPROPVAL_CU_DML_STATEMENTS;
  if (odbc & SQL_CU_TABLE_DEFINITION) usage |= DBPROPVAL_CU_TABLE_DEFINITION;
  if (odbc & SQL_CU_INDEX_DEFINITION) usage |= DBPROPVAL_CU_INDEX_DEFINITION;
  if (odbc & SQL_CU_PRIVILEGE_DEFINITION) usage |= DBPROPVAL_CU_PRIVILEGE_DEFINITION;
  return usage;
}

LONG IdentifierCase(SQLUSMALLINT odbc) {
  switch (odbc) {
    case SQL_IC_UPPER: return DBPROPVAL_IC_UPPER;
    case SQL_IC_LOWER: return DBPROPVAL_IC_LOWER;
    case SQL_IC_SENSITIVE: return DBPROPVAL_IC_SENSITIVE;
    default: return DBPROPVAL_IC_MIXED;
  }
}

LONG SchemaUsage(SQLUINTEGER odbc) {
  LONG usage = 0;
  if (odbc & SQL_SU_DML_STATEMENTS) usage |= DBPROPVAL_SU_DML_STATEMENTS;
  if (odbc & SQL_SU_TABLE_DEFINITION) usage |= DBPROPVAL_SU_TABLE_DEFINITION;
  if (odbc & SQL_SU_INDEX_DEFINITION) usage |= DBPROPVAL_SU_INDEX_DEFINITION;
  if (odbc & SQL_SU_PRIVILEGE_DEFINITION) usage |= DBPROPVAL_SU_PRIVILEGE_DEFINITION;
  return usage;
}

// The naming literals as the server reports them: a catalog or schema
// literal only where the server names tables with one.
std::vector<LiteralEntry> ServerLiterals(const OdbcServerInfo& info) {
  const ULONG maxLength = info.maxIdentifierLength ? info.maxIdentifierLength : ~0u;
  std::vector<LiteralEntry> literals;
  auto name = [&](DBLITERAL lt) { literals.push_back({lt, {}, {}, {}, maxLength}); };
  if (info.catalogUsage & SQL_CU_DML_STATEMENTS) {
    name(DBLITERAL_CATALOG_NAME);
    literals.push_back({DBLITERAL_CATALOG_SEPARATOR, info.catalogSeparator.empty() ? u"." : info.catalogSeparator,
                        {}, {}, 1});
  }
  if (info.schemaUsage & SQL_SU_DML_STATEMENTS) {
    name(DBLITERAL_SCHEMA_NAME);
    literals.push_back({DBLITERAL_SCHEMA_SEPARATOR, u".", {}, {}, 1});
  }
  if (!info.quote.empty() && info.quote != u" ") {
    literals.push_back({DBLITERAL_QUOTE_PREFIX, info.quote, {}, {}, 1});
    literals.push_back({DBLITERAL_QUOTE_SUFFIX, info.quote, {}, {}, 1});
  }
  for (DBLITERAL lt : {DBLITERAL_TABLE_NAME, DBLITERAL_COLUMN_NAME, DBLITERAL_VIEW_NAME, DBLITERAL_INDEX_NAME,
                       DBLITERAL_COLUMN_ALIAS, DBLITERAL_CORRELATION_NAME})
    name(lt);
  literals.push_back({DBLITERAL_LIKE_PERCENT, u"%", {}, {}, 1});
  literals.push_back({DBLITERAL_LIKE_UNDERSCORE, u"_", {}, {}, 1});
  literals.push_back({DBLITERAL_TEXT_COMMAND, {}, {}, {}, ~0u});
  return literals;
}

}  // namespace

COdbcDataSource::COdbcDataSource()
    : CDataSourceBase(OdbcAllProperties(), CLSID_RavezovODBC, std::u16string(kOdbcErrorSource)) {}

std::shared_ptr<COdbcConnection> COdbcDataSource::Connection() const {
  std::lock_guard lock(m_mutex);
  return m_connection;
}

HRESULT COdbcDataSource::NotInitialized(REFIID iid) const {
  return PostOdbcError(E_UNEXPECTED, iid, "The data source is not initialized.");
}

bool COdbcDataSource::NamesItsSource() const {
  return !m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE).empty() ||
         !m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_PROVIDERSTRING).empty();
}

HRESULT COdbcDataSource::Open() {
  OdbcConnectionSettings settings;
  settings.dataSource = m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE);
  settings.userId = m_properties.Text(DBPROPSET_DBINIT, DBPROP_AUTH_USERID);
  settings.password = m_properties.Text(DBPROPSET_DBINIT, DBPROP_AUTH_PASSWORD);
  settings.extended = m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_PROVIDERSTRING);
  settings.initialCatalog = m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_CATALOG);
  if (settings.dataSource.empty() && settings.extended.empty())
    return PostOdbcError(E_FAIL, IID_IDBInitialize,
                         "No ODBC data source was given (neither Data Source nor Extended Properties is set).");
  HRESULT hr = S_OK;
  auto connection = COdbcConnection::Open(settings, m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT),
                                          IID_IDBInitialize, hr);
  if (!connection) return hr;
  m_connection = std::move(connection);
  PublishInfo(m_connection->Info());
  return S_OK;
}

void COdbcDataSource::PublishInfo(const OdbcServerInfo& info) {
  constexpr GUID kInfo = DBPROPSET_DATASOURCEINFO;
  m_properties.SetText(kInfo, DBPROP_DBMSNAME, info.dbmsName);
  m_properties.SetText(kInfo, DBPROP_DBMSVER, info.dbmsVersion);
  m_properties.SetText(kInfo, DBPROP_DATASOURCENAME, info.dataSourceName);
  m_properties.SetText(kInfo, DBPROP_CATALOGTERM, info.catalogTerm);
  m_properties.SetText(kInfo, DBPROP_SCHEMATERM, info.schemaTerm);
  m_properties.SetText(kInfo, DBPROP_TABLETERM, info.tableTerm);
  m_properties.SetLong(kInfo, DBPROP_CATALOGLOCATION,
          info.catalogLocation == SQL_CL_END ? DBPROPVAL_CL_END : DBPROPVAL_CL_START);
  m_properties.SetLong(kInfo, DBPROP_IDENTIFIERCASE, IdentifierCase(info.identifierCase));
  m_properties.SetLong(kInfo, DBPROP_CATALOGUSAGE, CatalogUsage(info.catalogUsage));
  m_properties.SetLong(kInfo, DBPROP_SCHEMAUSAGE, SchemaUsage(info.schemaUsage));
  m_properties.SetLong(kInfo, DBPROP_MULTIPLERESULTS, info.multipleResults ? DBPROPVAL_MR_SUPPORTED : 0);
  m_properties.SetBool(kInfo, DBPROP_DATASOURCEREADONLY, info.readOnly);
}

HRESULT COdbcDataSource::Keywords(LPOLESTR* ppwszKeywords) {
  auto connection = Connection();
  if (!connection) return NotInitialized(IID_IDBInfo);
  std::u16string words;
  {
    std::lock_guard lock(connection->Mutex());
    SQLWCHAR buffer[4096];
    SQLSMALLINT bytes = 0;
    if (OdbcOk(SQLGetInfoW(connection->Dbc(), SQL_KEYWORDS, buffer, sizeof buffer, &bytes)))
      words = FromOdbcText(buffer, std::min<size_t>(bytes / sizeof(SQLWCHAR), std::size(buffer) - 1));
  }
  auto* out = static_cast<OLECHAR*>(CoTaskMemAlloc((words.size() + 1) * sizeof(OLECHAR)));
  if (!out) return PostOdbcError(E_OUTOFMEMORY, IID_IDBInfo, "Out of memory for the keywords.");
  std::memcpy(out, words.c_str(), (words.size() + 1) * sizeof(OLECHAR));
  *ppwszKeywords = out;
  return S_OK;
}

HRESULT COdbcDataSource::Literals(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                                  DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) {
  auto connection = Connection();
  if (!connection) return NotInitialized(IID_IDBInfo);
  return FillLiteralInfo(ServerLiterals(connection->Info()), cLiterals, rgLiterals, pcLiteralInfo, prgLiteralInfo,
                         ppCharBuffer);
}

HRESULT COdbcDataSource::NewSession(REFIID riid, IUnknown** ppDBSession) {
  auto connection = Connection();
  if (!connection) return NotInitialized(IID_IDBCreateSession);
  return CreateOdbcSession(this, std::move(connection), riid, reinterpret_cast<void**>(ppDBSession));
}

HRESULT CreateOdbcDataSource(REFIID riid, void** ppv) {
  return COdbcDataSource::CreateInstance<COdbcDataSource>(riid, ppv);
}
