#include "CSqliteDataSource.h"

#include <sqlite3.h>

#include <algorithm>
#include <limits>

#include "CSqliteSession.h"
#include "ErrorRecords.h"
#include "PromptService.h"
#include "SqliteErrors.h"
#include "SqliteLiterals.h"
#include "SqliteProperties.h"
#include "SqliteProvider.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

const std::vector<GUID> kSetsBeforeInit = {DBPROPSET_DBINIT};
const std::vector<GUID> kSetsAfterInit = {DBPROPSET_DBINIT, DBPROPSET_DATASOURCEINFO,
                                          DBPROPSET_DATASOURCE, DBPROPSET_SESSION,
                                          DBPROPSET_ROWSET};

bool IsPrompting(LONG prompt) {
  return prompt == DBPROMPT_PROMPT || prompt == DBPROMPT_COMPLETE ||
         prompt == DBPROMPT_COMPLETEREQUIRED;
}

void SetText(CPropertyStore& store, REFGUID set, DBPROPID id, const std::string& text) {
  VARIANT v;
  VariantInit(&v);
  std::u16string wide = AnsiToOle(text);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  store.SetValue(set, id, v);
  VariantClear(&v);
}

void SetBool(CPropertyStore& store, REFGUID set, DBPROPID id, bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  store.SetValue(set, id, v);
}

}  // namespace

CSqliteDataSource::CSqliteDataSource() : m_properties(SqliteAllProperties()) {
  m_properties.SetAvailableSets(kSetsBeforeInit);
  // Sessions and rowsets hold these; the data source only describes them.
  m_properties.SetDescribedOnlySets({DBPROPSET_SESSION, DBPROPSET_ROWSET});
}

std::shared_ptr<CSqliteConnection> CSqliteDataSource::Connection() const {
  std::lock_guard lock(m_mutex);
  return m_connection;
}

HRESULT CSqliteDataSource::Initialize() {
  ClearErrorInfo();
  if (Connection())
    return PostProviderError(DB_E_ALREADYINITIALIZED, IID_IDBInitialize,
                             "The data source is already initialized.");
  HRESULT hr = PromptIfAsked();
  if (FAILED(hr)) return hr;
  return OpenDatabase();
}

HRESULT CSqliteDataSource::PromptIfAsked() {
  LONG prompt;
  std::u16string file;
  HWND owner = nullptr;
  {
    std::lock_guard lock(m_mutex);
    prompt = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT);
    file = m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE);
    if (const VARIANT* v = m_properties.Value(DBPROPSET_DBINIT, DBPROP_INIT_HWND);
        v && v->vt == VT_I8)
      owner = reinterpret_cast<HWND>(static_cast<intptr_t>(v->llVal));
  }
  if (!IsPrompting(prompt)) return S_OK;
  if (prompt != DBPROMPT_PROMPT && !file.empty()) return S_OK;
  DataSourcePrompt show = GetDataSourcePrompt();
  if (!show)
    return PostProviderError(DB_E_CANCELED, IID_IDBInitialize,
                             "No connection prompt is available; initialization was canceled.");
  // The prompt sets the chosen values through IDBProperties, so no lock is
  // held while it runs.
  HRESULT hr = show(owner, static_cast<DBPROMPT>(prompt), CLSID_RavezovSQLite,
                    static_cast<IDBProperties*>(this));
  if (hr == DB_E_CANCELED)
    return PostProviderError(DB_E_CANCELED, IID_IDBInitialize, "The user canceled the prompt.");
  if (FAILED(hr)) return PostProviderError(hr, IID_IDBInitialize, "The connection prompt failed.");
  return S_OK;
}

HRESULT CSqliteDataSource::OpenDatabase() {
  std::lock_guard lock(m_mutex);
  std::string path = OleToAnsi(m_properties.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE));
  if (path.empty())
    return PostProviderError(E_FAIL, IID_IDBInitialize,
                             "No database file was given (the Data Source property is empty).");
  LONG mode = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_MODE);
  // Share flags alone say nothing about access: read/write unless only READ.
  bool readOnly = (mode & DB_MODE_READWRITE) == DB_MODE_READ;
  LONG seconds = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT);
  // Clamped so a huge timeout waits the longest an int of milliseconds holds.
  seconds = std::clamp<LONG>(seconds, 0, std::numeric_limits<int>::max() / 1000);
  std::string error;
  int code = 0;
  auto connection =
      CSqliteConnection::Open(path, readOnly, static_cast<int>(seconds) * 1000, error, code);
  if (!connection) return PostProviderError(E_FAIL, IID_IDBInitialize, error, code);
  m_connection = std::move(connection);
  PublishInfo();
  return S_OK;
}

void CSqliteDataSource::PublishInfo() {
  SetText(m_properties, DBPROPSET_DATASOURCEINFO, DBPROP_DBMSVER, sqlite3_libversion());
  SetText(m_properties, DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCENAME, m_connection->Path());
  SetBool(m_properties, DBPROPSET_DATASOURCEINFO, DBPROP_DATASOURCEREADONLY,
          m_connection->ReadOnly());
  m_properties.SetAvailableSets(kSetsAfterInit);
  m_properties.SetReadOnlySets({DBPROPSET_DBINIT});
}

HRESULT CSqliteDataSource::Uninitialize() {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  if (!m_connection) return S_OK;
  if (m_sessions > 0)
    return PostProviderError(DB_E_OBJECTOPEN, IID_IDBInitialize,
                             "Sessions of this data source are still open.");
  m_connection.reset();
  m_properties.SetAvailableSets(kSetsBeforeInit);
  m_properties.SetReadOnlySets({});
  return S_OK;
}

HRESULT CSqliteDataSource::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                         ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  return m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets,
                                    prgPropertySets);
}

HRESULT CSqliteDataSource::GetPropertyInfo(ULONG cPropertyIDSets,
                                           const DBPROPIDSET rgPropertyIDSets[],
                                           ULONG* pcPropertyInfoSets,
                                           DBPROPINFOSET** prgPropertyInfoSets,
                                           OLECHAR** ppDescBuffer) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  return m_properties.GetPropertyInfo(cPropertyIDSets, rgPropertyIDSets, pcPropertyInfoSets,
                                      prgPropertyInfoSets, ppDescBuffer);
}

HRESULT CSqliteDataSource::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  return m_properties.SetProperties(cPropertySets, rgPropertySets);
}

HRESULT CSqliteDataSource::GetKeywords(LPOLESTR* ppwszKeywords) {
  ClearErrorInfo();
  if (!Connection()) {
    if (ppwszKeywords) *ppwszKeywords = nullptr;
    return PostProviderError(E_UNEXPECTED, IID_IDBInfo, "The data source is not initialized.");
  }
  return GetSqliteKeywords(ppwszKeywords);
}

HRESULT CSqliteDataSource::GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[],
                                          ULONG* pcLiteralInfo, DBLITERALINFO** prgLiteralInfo,
                                          OLECHAR** ppCharBuffer) {
  ClearErrorInfo();
  if (!Connection()) {
    if (pcLiteralInfo) *pcLiteralInfo = 0;
    if (prgLiteralInfo) *prgLiteralInfo = nullptr;
    if (ppCharBuffer) *ppCharBuffer = nullptr;
    return PostProviderError(E_UNEXPECTED, IID_IDBInfo, "The data source is not initialized.");
  }
  return GetSqliteLiteralInfo(cLiterals, rgLiterals, pcLiteralInfo, prgLiteralInfo, ppCharBuffer);
}

HRESULT CSqliteDataSource::CreateSession(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppDBSession) {
  ClearErrorInfo();
  if (!ppDBSession) return E_INVALIDARG;
  *ppDBSession = nullptr;
  if (pUnkOuter) return DB_E_NOAGGREGATION;
  auto connection = Connection();
  if (!connection)
    return PostProviderError(E_UNEXPECTED, IID_IDBCreateSession,
                             "The data source is not initialized.");
  return CreateSqliteSession(this, std::move(connection), riid,
                             reinterpret_cast<void**>(ppDBSession));
}

HRESULT CSqliteDataSource::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(
      riid, {&IID_IDBInitialize, &IID_IDBProperties, &IID_IDBInfo, &IID_IDBCreateSession});
}

HRESULT CreateSqliteDataSource(REFIID riid, void** ppv) {
  return CSqliteDataSource::CreateInstance<CSqliteDataSource>(riid, ppv);
}
