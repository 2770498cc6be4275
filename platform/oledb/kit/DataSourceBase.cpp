#include "DataSourceBase.h"

#include <vector>

#include "ErrorRecords.h"
#include "PromptService.h"

namespace {

const std::vector<GUID> kSetsBeforeInit = {DBPROPSET_DBINIT};
const std::vector<GUID> kSetsAfterInit = {DBPROPSET_DBINIT, DBPROPSET_DATASOURCEINFO, DBPROPSET_DATASOURCE,
                                          DBPROPSET_SESSION, DBPROPSET_ROWSET};

bool IsPrompting(LONG prompt) {
  return prompt == DBPROMPT_PROMPT || prompt == DBPROMPT_COMPLETE || prompt == DBPROMPT_COMPLETEREQUIRED;
}

}  // namespace

CDataSourceBase::CDataSourceBase(std::span<const PropertyDef> properties, REFCLSID provider,
                                 std::u16string errorSource)
    : m_properties(properties), m_provider(provider), m_errorSource(std::move(errorSource)) {
  m_properties.SetAvailableSets(kSetsBeforeInit);
  // Sessions and rowsets hold these; the data source only describes them.
  m_properties.SetDescribedOnlySets({DBPROPSET_SESSION, DBPROPSET_ROWSET});
}

HRESULT CDataSourceBase::Fail(HRESULT hr, REFIID iid, std::string_view text) const {
  return PostError(hr, m_provider, iid, m_errorSource, text);
}

HRESULT CDataSourceBase::NotInitialized(REFIID iid) const {
  return Fail(E_UNEXPECTED, iid, "The data source is not initialized.");
}

bool CDataSourceBase::Initialized() const {
  std::lock_guard lock(m_mutex);
  return IsOpen();
}

HRESULT CDataSourceBase::Initialize() {
  ClearErrorInfo();
  if (Initialized()) return Fail(DB_E_ALREADYINITIALIZED, IID_IDBInitialize, "The data source is already initialized.");
  if (HRESULT hr = PromptIfAsked(); FAILED(hr)) return hr;
  std::lock_guard lock(m_mutex);
  if (IsOpen()) return Fail(DB_E_ALREADYINITIALIZED, IID_IDBInitialize, "The data source is already initialized.");
  if (HRESULT hr = Open(); FAILED(hr)) return hr;
  m_properties.SetAvailableSets(kSetsAfterInit);
  m_properties.SetReadOnlySets({DBPROPSET_DBINIT});
  return S_OK;
}

HRESULT CDataSourceBase::PromptIfAsked() {
  LONG prompt;
  bool named;
  HWND owner = nullptr;
  {
    std::lock_guard lock(m_mutex);
    prompt = m_properties.Long(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT);
    named = NamesItsSource();
    if (const VARIANT* v = m_properties.Value(DBPROPSET_DBINIT, DBPROP_INIT_HWND); v && v->vt == VT_I8)
      owner = reinterpret_cast<HWND>(static_cast<intptr_t>(v->llVal));
  }
  if (!IsPrompting(prompt)) return S_OK;
  // Completing asks only when nothing names the data source yet.
  if (prompt != DBPROMPT_PROMPT && named) return S_OK;
  DataSourcePrompt show = GetDataSourcePrompt();
  if (!show)
    return Fail(DB_E_CANCELED, IID_IDBInitialize, "No connection prompt is available; initialization was canceled.");
  // The prompt sets the chosen values through IDBProperties, so no lock is
  // held while it runs.
  HRESULT hr = show(owner, static_cast<DBPROMPT>(prompt), m_provider, static_cast<IDBProperties*>(this));
  if (hr == DB_E_CANCELED) return Fail(DB_E_CANCELED, IID_IDBInitialize, "The user canceled the prompt.");
  if (FAILED(hr)) return Fail(hr, IID_IDBInitialize, "The connection prompt failed.");
  return S_OK;
}

HRESULT CDataSourceBase::Uninitialize() {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  if (!IsOpen()) return S_OK;
  if (m_sessions > 0) return Fail(DB_E_OBJECTOPEN, IID_IDBInitialize, "Sessions of this data source are still open.");
  Close();
  m_properties.SetAvailableSets(kSetsBeforeInit);
  m_properties.SetReadOnlySets({});
  return S_OK;
}

HRESULT CDataSourceBase::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                       ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  HRESULT hr = m_properties.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
  return FAILED(hr) ? Fail(hr, IID_IDBProperties, "None of the properties asked for could be returned.") : hr;
}

HRESULT CDataSourceBase::GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                         ULONG* pcPropertyInfoSets, DBPROPINFOSET** prgPropertyInfoSets,
                                         OLECHAR** ppDescBuffer) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  HRESULT hr = m_properties.GetPropertyInfo(cPropertyIDSets, rgPropertyIDSets, pcPropertyInfoSets,
                                            prgPropertyInfoSets, ppDescBuffer);
  return FAILED(hr) ? Fail(hr, IID_IDBProperties, "None of the properties asked for is described.") : hr;
}

HRESULT CDataSourceBase::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard lock(m_mutex);
  HRESULT hr = m_properties.SetProperties(cPropertySets, rgPropertySets);
  return FAILED(hr) ? Fail(hr, IID_IDBProperties, "None of the properties could be set.") : hr;
}

HRESULT CDataSourceBase::GetKeywords(LPOLESTR* ppwszKeywords) {
  ClearErrorInfo();
  if (!ppwszKeywords) return Fail(E_INVALIDARG, IID_IDBInfo, "A required argument is null.");
  *ppwszKeywords = nullptr;
  if (!Initialized()) return NotInitialized(IID_IDBInfo);
  return Keywords(ppwszKeywords);
}

HRESULT CDataSourceBase::GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcLiteralInfo,
                                        DBLITERALINFO** prgLiteralInfo, OLECHAR** ppCharBuffer) {
  ClearErrorInfo();
  if (pcLiteralInfo) *pcLiteralInfo = 0;
  if (prgLiteralInfo) *prgLiteralInfo = nullptr;
  if (ppCharBuffer) *ppCharBuffer = nullptr;
  if (!Initialized()) return NotInitialized(IID_IDBInfo);
  HRESULT hr = Literals(cLiterals, rgLiterals, pcLiteralInfo, prgLiteralInfo, ppCharBuffer);
  return FAILED(hr) ? Fail(hr, IID_IDBInfo, "None of the literals asked for is supported.") : hr;
}

HRESULT CDataSourceBase::CreateSession(IUnknown* pUnkOuter, REFIID riid, IUnknown** ppDBSession) {
  ClearErrorInfo();
  if (!ppDBSession) return Fail(E_INVALIDARG, IID_IDBCreateSession, "A required argument is null.");
  *ppDBSession = nullptr;
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, IID_IDBCreateSession, "The session cannot be aggregated.");
  if (!Initialized()) return NotInitialized(IID_IDBCreateSession);
  return NewSession(riid, ppDBSession);
}

HRESULT CDataSourceBase::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IDBInitialize, &IID_IDBProperties, &IID_IDBInfo, &IID_IDBCreateSession});
}

HRESULT CDataSourceBase::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = m_provider;
  return S_OK;
}
