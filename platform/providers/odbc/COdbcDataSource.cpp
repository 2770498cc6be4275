#include "COdbcDataSource.h"

#include <cstring>

#include "COdbcSession.h"
#include "ErrorRecords.h"
#include "LiteralInfo.h"
#include "OdbcDiagnostics.h"
#include "OdbcProperties.h"
#include "PromptService.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

const std::vector<GUID> kSetsBeforeInit = {DBPROPSET_DBINIT};
const std::vector<GUID> kSetsAfterInit = {DBPROPSET_DBINIT, DBPROPSET_DATASOURCEINFO, DBPROPSET_DATASOURCE,
                                          DBPROPSET_SESSION, DBPROPSET_ROWSET};

bool IsPrompting(LONG prompt) {
  return prompt == DBPROMPT_PROMPT || prompt == DBPROMPT_COMPLETE || prompt == DBPROMPT_COMPLETEREQUIRED;
}

void SetText(CPropertyStore& store, REFGUID set, DBPROPID id, const std::u16string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  store.SetValue(set, id, v);
  VariantClear(&v);
}

void SetLong(CPropertyStore& store, REFGUID set, DBPROPID id, LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  store.SetValue(set, id, v);
}

void SetBool(CPropertyStore& store, REFGUID set, DBPROPID id, bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  store.SetValue(set, id, v);
}

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
std::vector<LiteralEntry> Literals(const OdbcServerInfo& info) {
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

COdbcDataSource::COdbcDataSource() : m_properties(OdbcAllProperties()) {
  m_properties.SetAvailableSets(kSetsBeforeInit);
}

std::shared_ptr<COdbcConnection> COdbcDataSource::Connection() const {
  std::lock_guard lock(m_mutex);
  return m_connection;
}

HRESULT COdbcDataSource::NotInitialized(REFIID iid) const {
  return PostOdbcError(E_UNEXPECTED, iid, "The data source is not initialized.");
}

HRESULT COdbcDataSource::Initialize() {
  ClearErrorInfo();
  if (Connection()) return PostOdbcError(DB_E_ALREADYINITIALIZED, IID_IDBInitialize, "The data source is already initialized.");
  HRESULT hr = PromptIfAsked();
  if (FAILED(hr)) return hr;
  return Connect();
}

HRESULT COdbcDataSource::PromptIfAsked() {
  LONG prompt;
  bool named;
  HWND owner = nullptr;
  {
    std::lock_guard lock(m_mutex);
    prompt = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT);
    named = !m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE).empty() ||
            !m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_PROVIDERSTRING).empty();
    if (const VARIANT* v = m_properties.Value(DBPROPSET_DBINIT, DBPROP_INIT_HWND); v && v->vt == VT_I8)
      owner = reinterpret_cast<HWND>(static_cast<intptr_t>(v->llVal));
  }
  if (!IsPrompting(prompt)) return S_OK;
  // Completing asks only when nothing names the data source.
  if (prompt != DBPROMPT_PROMPT && named) return S_OK;
  DataSourcePrompt show = GetDataSourcePrompt();
  if (!show)
    return PostOdbcError(DB_E_CANCELED, IID_IDBInitialize, "No connection prompt is available; initialization was canceled.");
  HRESULT hr = show(owner, static_cast<DBPROMPT>(prompt), CLSID_RavezovODBC, static_cast<IDBProperties*>(this));
  if (hr == DB_E_CANCELED) return PostOdbcError(DB_E_CANCELED, IID_IDBInitialize, "The user canceled the prompt.");
  if (FAILED(hr)) return PostOdbcError(hr, IID_IDBInitialize, "The connection prompt failed.");
  return S_OK;
}

HRESULT COdbcDataSource::Connect() {
  std::lock_guard lock(m_mutex);
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
  SetText(m_properties, kInfo, DBPROP_DBMSNAME, info.dbmsName);
  SetText(m_properties, kInfo, DBPROP_DBMSVER, info.dbmsVersion);
  SetText(m_properties, kInfo, DBPROP_DATASOURCENAME, info.dataSourceName);
  SetText(m_properties, kInfo, DBPROP_CATALOGTERM, info.catalogTerm);
  SetText(m_properties, kInfo, DBPROP_SCHEMATERM, info.schemaTerm);
  SetText(m_properties, kInfo, DBPROP_TABLETERM, info.tableTerm);
  SetLong(m_properties, kInfo, DBPROP_CATALOGLOCATION,
          info.catalogLocation == SQL_CL_END ? DBPROPVAL_CL_END : DBPROPVAL_CL_START);
  SetLong(m_properties, kInfo, DBPROP_IDENTIFIERCASE, IdentifierCase(info.identifierCase));
  SetLong(m_properties, kInfo, DBPROP_CATALOGUSAGE, CatalogUsage(info.catalogUsage));
  SetLong(m_properties, kInfo, DBPROP_SCHEMAUSAGE, SchemaUsage(info.schemaUsage));
  SetLong(m_properties, kInfo, DBPROP_MULTIPLERESULTS, info.multipleResults ? DBPROPVAL_MR_SUPPORTED : 0);
  SetBool(m_properties, kInfo, DBPROP_DATASOURCEREADONLY, info.readOnly);
  m_properties.SetAvailableSets(kSetsAfterInit);
  m_properties.SetReadOnlySets({DBPROPSET_DBINIT});
}

HRESULT COdbcDataSource::Uninitialize() {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  if (!m_connection) return S_OK;
  if (m_sessions > 0) return PostOdbcError(DB_E_OBJECTOPEN, IID_IDBInitialize, "Sessions of this data source are still open.");
  m_connection.reset();
  m_properties.SetAvailableSets(kSetsBeforeInit);
  m_properties.SetReadOnlySets({});
  return S_OK;
}

HRESULT COdbcDataSource::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                       ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT COdbcDataSource::GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                         ULONG* pcPropertyInfoSets, DBPROPINFOSET** prgPropertyInfoSets,
                                         OLECHAR** ppDescBuffer) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  return m_properties.GetPropertyInfo(cPropertyIDSets, rgPropertyIDSets, pcPropertyInfoSets, prgPropertyInfoSets,
                                      ppDescBuffer);
}

HRESULT COdbcDataSource::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  return m_properties.SetProperties(cPropertySets, rgPropertySets);
}

HRESULT COdbcDataSource::GetKeywords(LPOLESTR* ppwszKeywords) {
  ClearErrorInfo();
  if (!ppwszKeywords) return E_INVALIDARG;
  *ppwszKeywords = nullptr;
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
  if (!out) return E_OUTOFMEMORY;
  std::memcpy(out, words.c_str(), (words.size() + 1) * sizeof(OLECHAR));
  *ppwszKeywords = out;
  return S_OK;
}

HRESULT COdbcDataSource::GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                                        DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) {
  ClearErrorInfo();
  auto connection = Connection();
  if (!connection) {
    if (pcLiteralInfo) *pcLiteralInfo = 0;
    if (prgLiteralInfo) *prgLiteralInfo = nullptr;
    if (ppCharBuffer) *ppCharBuffer = nullptr;
    return NotInitialized(IID_IDBInfo);
  }
  return FillLiteralInfo(Literals(connection->Info()), cLiterals, rgLiterals, pcLiteralInfo, prgLiteralInfo,
                         ppCharBuffer);
}

HRESULT COdbcDataSource::CreateSession(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppDBSession) {
  ClearErrorInfo();
  if (!ppDBSession) return E_INVALIDARG;
  *ppDBSession = nullptr;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  auto connection = Connection();
  if (!connection) return NotInitialized(IID_IDBCreateSession);
  return CreateOdbcSession(this, std::move(connection), riid, reinterpret_cast<void**>(ppDBSession));
}

HRESULT COdbcDataSource::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IDBInitialize, &IID_IDBProperties, &IID_IDBInfo, &IID_IDBCreateSession});
}

HRESULT CreateOdbcDataSource(REFIID riid, void** ppv) {
  return COdbcDataSource::CreateInstance<COdbcDataSource>(riid, ppv);
}
