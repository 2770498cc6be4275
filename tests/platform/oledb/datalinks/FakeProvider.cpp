#include "FakeProvider.h"

#include "ErrorRecords.h"
#include "PromptService.h"

namespace {

constexpr DBPROPFLAGS kWritable = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;
constexpr DBPROPFLAGS kReadOnly = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ;

const PropertyDef kProperties[] = {
    {&DBPROPSET_DBINIT, DBPROP_AUTH_USERID, VT_BSTR, kWritable, {}, u"User ID"},
    {&DBPROPSET_DBINIT, DBPROP_AUTH_PASSWORD, VT_BSTR, kWritable, {}, u"Password"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kWritable, {}, u"Data Source"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_HWND, VT_I8, kWritable, {}, u"Window Handle"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, kWritable, {VT_I2, DBPROMPT_NOPROMPT, nullptr}, u"Prompt"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kWritable, {VT_I4, 15, nullptr}, u"Connect Timeout"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_LCID, VT_I4, kReadOnly, {VT_I4, 1033, nullptr}, u"Locale Identifier"},
};

}  // namespace

CFakeDataSource::CFakeDataSource() : m_store(kProperties) {}

HRESULT CFakeDataSource::Initialize() {
  ClearErrorInfo();
  if (m_initialized) return DB_E_ALREADYINITIALIZED;
  const LONG prompt = m_store.Long(DBPROPSET_DBINIT, DBPROP_INIT_PROMPT);
  if (prompt != DBPROMPT_NOPROMPT) {
    DataSourcePrompt show = GetDataSourcePrompt();
    if (!show) return DB_E_CANCELED;
    const VARIANT* window = m_store.Value(DBPROPSET_DBINIT, DBPROP_INIT_HWND);
    HWND owner = window && window->vt == VT_I8 ? reinterpret_cast<HWND>(static_cast<intptr_t>(window->llVal)) : nullptr;
    HRESULT hr = show(owner, static_cast<DBPROMPT>(prompt), CLSID_FakeProvider, this);
    if (FAILED(hr)) return hr;
  }
  const std::u16string source = m_store.Text(DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE);
  if (source != u"server1")
    return PostError(E_FAIL, CLSID_FakeProvider, IID_IDBInitialize, kFakeErrorSource,
                     "Cannot reach the server '" + OleToAnsi(source) + "'.");
  m_initialized = true;
  m_store.SetReadOnlySets({DBPROPSET_DBINIT});
  return S_OK;
}

HRESULT CFakeDataSource::Uninitialize() {
  m_initialized = false;
  m_store.SetReadOnlySets({});
  return S_OK;
}

HRESULT CFakeDataSource::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                       ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  return m_store.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT CFakeDataSource::GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                         ULONG* pcPropertyInfoSets, DBPROPINFOSET** prgPropertyInfoSets,
                                         OLECHAR** ppDescBuffer) {
  return m_store.GetPropertyInfo(cPropertyIDSets, rgPropertyIDSets, pcPropertyInfoSets, prgPropertyInfoSets,
                                 ppDescBuffer);
}

HRESULT CFakeDataSource::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  return m_store.SetProperties(cPropertySets, rgPropertySets);
}

HRESULT CFakeDataSource::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = CLSID_FakeProvider;
  return S_OK;
}

HRESULT CFakeDataSource::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IDBInitialize, &IID_IDBProperties});
}

ClassEntry FakeProviderEntry() {
  ClassEntry entry;
  entry.clsid = CLSID_FakeProvider;
  entry.progId = "Fake.Provider";
  entry.description = kFakeProviderDescription;
  entry.kind = ClassKind::Provider;
  entry.factory = [](REFIID riid, void** ppv) {
    return CFakeDataSource::CreateInstance<CFakeDataSource>(riid, ppv);
  };
  return entry;
}
