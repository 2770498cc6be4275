#include "TestDataSource.h"

#include "ComPtr.h"

namespace {

constexpr DBPROPFLAGS kInit = DBPROPFLAGS_DBINIT | DBPROPFLAGS_READ | DBPROPFLAGS_WRITE;

const PropertyDef kInitProperties[] = {
    {&DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, kInit, {}, u"Data Source"},
    {&DBPROPSET_DBINIT, DBPROP_AUTH_USERID, VT_BSTR, kInit, {}, u"User ID"},
    {&DBPROPSET_DBINIT, DBPROP_AUTH_PASSWORD, VT_BSTR, kInit, {}, u"Password"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_TIMEOUT, VT_I4, kInit, {}, u"Connect Timeout"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, kInit, {}, u"Prompt"},
    {&DBPROPSET_DBINIT, DBPROP_INIT_HWND, VT_I4, kInit, {}, u"Window Handle"},
    {&DBPROPSET_DBINIT, DBPROP_AUTH_PERSIST_SENSITIVE_AUTHINFO, VT_BOOL, kInit, {}, u"Persist Security Info"},
};

template <class T>
ClassFactoryFn Factory(bool tellsClass) {
  return [tellsClass](REFIID riid, void** ppv) {
    return T::template CreateInstance<T>(riid, ppv, tellsClass);
  };
}

}  // namespace

CTestDataSource::CTestDataSource(bool tellsClass) : m_store(kInitProperties), m_tellsClass(tellsClass) {}

HRESULT CTestDataSource::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                       ULONG* pcPropertySets, DBPROPSET** prgPropertySets) {
  return m_store.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

HRESULT CTestDataSource::GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                         ULONG* pcPropertyInfoSets, DBPROPINFOSET** prgPropertyInfoSets,
                                         OLECHAR** ppDescBuffer) {
  return m_store.GetPropertyInfo(cPropertyIDSets, rgPropertyIDSets, pcPropertyInfoSets,
                                 prgPropertyInfoSets, ppDescBuffer);
}

HRESULT CTestDataSource::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  return m_store.SetProperties(cPropertySets, rgPropertySets);
}

HRESULT CTestDataSource::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = CLSID_TestProvider;
  return S_OK;
}

void* CTestDataSource::FindInterface(REFIID riid) {
  if (riid == IID_IPersist && !m_tellsClass) return nullptr;
  return ComObject::FindInterface(riid);
}

ClassEntry TestProviderEntry() {
  return {CLSID_TestProvider, "Ravezov.TestProvider", "Test provider", ClassKind::Provider,
          Factory<CTestDataSource>(true)};
}

ClassEntry TestProviderWithoutClassEntry() {
  return {CLSID_TestProviderWithoutClass, "Ravezov.TestProviderWithoutClass", "Test provider without IPersist",
          ClassKind::Provider, Factory<CTestDataSource>(false)};
}

ClassEntry TestEnumeratorEntry() {
  return {CLSID_TestEnumerator, "Ravezov.TestEnumerator", "Test enumerator", ClassKind::Enumerator,
          Factory<CTestDataSource>(true)};
}

PostedError TakePostedError() {
  PostedError posted;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK) return posted;
  ComPtr<IErrorRecords> records;
  if (FAILED(info.As(&records))) return posted;
  records->GetRecordCount(&posted.records);
  ComPtr<IErrorInfo> first;
  if (posted.records == 0 || FAILED(records->GetErrorInfo(0, GetUserDefaultLCID(), &first))) return posted;
  BSTR text = nullptr;
  first->GetDescription(&text);
  posted.description = OleToAnsi(text ? text : u"");
  SysFreeString(text);
  return posted;
}

std::string PropertyText(IUnknown* dataSource, DBPROPID id) {
  ComPtr<IDBProperties> properties;
  if (FAILED(dataSource->QueryInterface(IID_IDBProperties, properties.ReleaseAndGetVoidAddress())))
    return "<no IDBProperties>";
  DBPROPID ids[] = {id};
  DBPROPIDSET request = {ids, 1, DBPROPSET_DBINIT};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  properties->GetProperties(1, &request, &count, &sets);
  std::string text = "<unset>";
  if (count == 1 && sets[0].cProperties == 1) {
    VARIANT& value = sets[0].rgProperties[0].vValue;
    if (value.vt != VT_EMPTY) {
      VARIANT asText;
      VariantInit(&asText);
      if (SUCCEEDED(VariantChangeType(&asText, &value, 0, VT_BSTR))) text = OleToAnsi(asText.bstrVal);
      VariantClear(&asText);
    }
    VariantClear(&value);
    CoTaskMemFree(sets[0].rgProperties);
  }
  CoTaskMemFree(sets);
  return text;
}
