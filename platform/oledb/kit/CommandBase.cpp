#include "CommandBase.h"

#include <cstring>

#include "DataConversion.h"
#include "ErrorRecords.h"
#include "objbase.h"

namespace {

// GUID_NULL asks for the default dialect, as DBGUID_DEFAULT does.
bool IsSqlDialect(REFGUID dialect) {
  return dialect == DBGUID_DBSQL || dialect == DBGUID_DEFAULT || dialect == DBGUID_SQL || dialect == GUID_NULL;
}

}  // namespace

CCommandBase::CCommandBase(IUnknown* session, REFCLSID provider, std::u16string errorSource)
    : m_session(session), m_provider(provider), m_errorSource(std::move(errorSource)) {}

HRESULT CCommandBase::Fail(HRESULT hr, REFIID iid, std::string_view text) const {
  return PostError(hr, m_provider, iid, m_errorSource, text);
}

HRESULT CCommandBase::Execute(IUnknown* pUnkOuter, REFIID riid, DBPARAMS* pParams, DBROWCOUNT* pcRowsAffected,
                              IUnknown** ppRowset) {
  ClearErrorInfo();
  if (ppRowset) *ppRowset = nullptr;
  if (pcRowsAffected) *pcRowsAffected = DB_COUNTUNAVAILABLE;
  if (riid != GUID_NULL && !ppRowset)
    return Fail(E_INVALIDARG, IID_ICommand, "A rowset was asked for without a place to return it.");
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, IID_ICommand, "The rowset cannot be aggregated.");
  std::u16string text;
  {
    std::lock_guard guard(m_mutex);
    if (!m_hasText) return Fail(DB_E_NOCOMMAND, IID_ICommand, "No command text was set.");
    text = m_text;
  }
  std::vector<DBPROPID> inError;
  HRESULT hr = Run(text, riid, pParams, pcRowsAffected, ppRowset, inError);
  std::lock_guard guard(m_mutex);
  m_propertiesInError = std::move(inError);
  return hr;
}

HRESULT CCommandBase::GetDBSession(REFIID riid, IUnknown** ppSession) {
  ClearErrorInfo();
  if (!ppSession) return Fail(E_INVALIDARG, IID_ICommand, "A required argument is null.");
  *ppSession = nullptr;
  HRESULT hr = m_session->QueryInterface(riid, reinterpret_cast<void**>(ppSession));
  return FAILED(hr) ? Fail(hr, IID_ICommand, "The session does not give the interface asked for.") : hr;
}

HRESULT CCommandBase::GetCommandText(GUID* pguidDialect, LPOLESTR* ppwszCommand) {
  ClearErrorInfo();
  if (!ppwszCommand) return Fail(E_INVALIDARG, IID_ICommandText, "A required argument is null.");
  *ppwszCommand = nullptr;
  std::lock_guard guard(m_mutex);
  if (!m_hasText) {
    if (pguidDialect) *pguidDialect = GUID_NULL;
    return Fail(DB_E_NOCOMMAND, IID_ICommandText, "No command text was set.");
  }
  HRESULT hr = S_OK;
  if (pguidDialect) {
    if (*pguidDialect != DBGUID_DBSQL && *pguidDialect != DBGUID_DEFAULT && *pguidDialect != GUID_NULL)
      hr = DB_S_DIALECTIGNORED;
    *pguidDialect = DBGUID_DBSQL;
  }
  size_t bytes = (m_text.size() + 1) * sizeof(OLECHAR);
  auto* text = static_cast<OLECHAR*>(CoTaskMemAlloc(bytes));
  if (!text) return Fail(E_OUTOFMEMORY, IID_ICommandText, "Out of memory for the command text.");
  std::memcpy(text, m_text.c_str(), bytes);
  *ppwszCommand = text;
  return hr;
}

HRESULT CCommandBase::SetCommandText(REFGUID rguidDialect, LPCOLESTR pwszCommand) {
  ClearErrorInfo();
  if (!IsSqlDialect(rguidDialect))
    return Fail(DB_E_DIALECTNOTSUPPORTED, IID_ICommandText, "Only SQL command text is supported.");
  std::lock_guard guard(m_mutex);
  m_hasText = pwszCommand && *pwszCommand;
  m_text = m_hasText ? std::u16string(pwszCommand) : std::u16string();
  return S_OK;
}

HRESULT CCommandBase::GetPropertiesInError(ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  *pcPropertySets = 0;
  *prgPropertySets = nullptr;
  if (m_propertiesInError.empty()) return S_OK;
  auto* set = static_cast<DBPROPSET*>(CoTaskMemAlloc(sizeof(DBPROPSET)));
  auto* props = static_cast<DBPROP*>(CoTaskMemAlloc(sizeof(DBPROP) * m_propertiesInError.size()));
  if (!set || !props) {
    CoTaskMemFree(set);
    CoTaskMemFree(props);
    return Fail(E_OUTOFMEMORY, IID_ICommandProperties, "Out of memory for the properties in error.");
  }
  for (size_t i = 0; i < m_propertiesInError.size(); ++i) {
    props[i] = {};
    props[i].dwPropertyID = m_propertiesInError[i];
    props[i].dwOptions = DBPROPOPTIONS_REQUIRED;
    props[i].dwStatus = DBPROPSTATUS_NOTSETTABLE;
  }
  *set = {props, static_cast<ULONG>(m_propertiesInError.size()), DBPROPSET_ROWSET};
  *pcPropertySets = 1;
  *prgPropertySets = set;
  return S_OK;
}

HRESULT CCommandBase::GetProperties(const ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                    ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  if (cPropertyIDSets == 1 && rgPropertyIDSets && rgPropertyIDSets[0].guidPropertySet == DBPROPSET_PROPERTIESINERROR) {
    if (!pcPropertySets || !prgPropertySets)
      return Fail(E_INVALIDARG, IID_ICommandProperties, "A required argument is null.");
    return GetPropertiesInError(pcPropertySets, prgPropertySets);
  }
  HRESULT hr = GetRowsetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
  return FAILED(hr) ? Fail(hr, IID_ICommandProperties, "None of the properties asked for could be returned.") : hr;
}

HRESULT CCommandBase::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  ClearErrorInfo();
  std::lock_guard guard(m_mutex);
  HRESULT hr = SetRowsetProperties(cPropertySets, rgPropertySets);
  return FAILED(hr) ? Fail(hr, IID_ICommandProperties, "Some rowset properties could not be set.") : hr;
}

HRESULT CCommandBase::CanConvert(DBTYPE, DBTYPE wToType, DBCONVERTFLAGS dwConvertFlags) {
  ClearErrorInfo();
  constexpr DBCONVERTFLAGS kKnown = DBCONVERTFLAGS_PARAMETER | DBCONVERTFLAGS_ISLONG | DBCONVERTFLAGS_ISFIXEDLENGTH |
                                    DBCONVERTFLAGS_FROMVARIANT;
  if (dwConvertFlags & ~kKnown)
    return Fail(DB_E_BADCONVERTFLAG, IID_IConvertType, "The conversion flags are not valid.");
  return IsConvertibleBindingType(wToType) ? S_OK : S_FALSE;
}

HRESULT CCommandBase::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_ICommand, &IID_ICommandText, &IID_ICommandProperties, &IID_IConvertType});
}
