#include "CDataInitialize.h"

#include <cstring>

#include "ClassRegistry.h"
#include "ComPtr.h"
#include "msdaguid.h"
#include "objbase.h"

namespace {

const std::u16string kErrorSource = AnsiToOle(CDataInitialize::kProgId);

std::string Quoted(std::u16string_view text) { return "'" + OleToAnsi(text) + "'"; }

bool IsPassword(const InitPropertyInfo& p) {
  return p.set == DBPROPSET_DBINIT && p.id == DBPROP_AUTH_PASSWORD;
}

// Window handles mean nothing outside this process.
bool IsHandle(const InitPropertyInfo& p) { return p.set == DBPROPSET_DBINIT && p.id == DBPROP_INIT_HWND; }

bool HasTextForm(VARTYPE vt) {
  return !(vt & (VT_BYREF | VT_ARRAY | VT_VECTOR)) && vt != VT_UNKNOWN && vt != VT_DISPATCH;
}

const char* StatusText(DBPROPSTATUS status) {
  switch (status) {
    case DBPROPSTATUS_NOTSUPPORTED: return "is not supported";
    case DBPROPSTATUS_BADVALUE: return "has a value the provider does not accept";
    case DBPROPSTATUS_NOTSETTABLE: return "cannot be set now";
    case DBPROPSTATUS_CONFLICTING: return "conflicts with another property";
    case DBPROPSTATUS_NOTAVAILABLE: return "is not available";
    default: return "could not be set";
  }
}

// Property values being handed to SetProperties, grouped by set.
class CPendingProperties {
 public:
  ~CPendingProperties() {
    for (auto& group : m_groups)
      for (auto& prop : group.props) VariantClear(&prop.vValue);
  }
  // Takes over value; a later value of the same property replaces it.
  void Add(const InitPropertyInfo& info, VARIANT& value) {
    Group& group = GroupFor(info.set);
    for (size_t i = 0; i < group.props.size(); ++i) {
      if (group.props[i].dwPropertyID == info.id) {
        VariantClear(&group.props[i].vValue);
        group.props[i].vValue = value;
        group.infos[i] = &info;
        return;
      }
    }
    DBPROP prop{};
    prop.dwPropertyID = info.id;
    prop.dwOptions = DBPROPOPTIONS_REQUIRED;
    prop.colid = DB_NULLID;
    prop.vValue = value;
    group.props.push_back(prop);
    group.infos.push_back(&info);
  }
  std::vector<DBPROPSET> Sets() {
    std::vector<DBPROPSET> sets;
    for (auto& group : m_groups)
      sets.push_back({group.props.data(), static_cast<ULONG>(group.props.size()), group.set});
    return sets;
  }
  // Descriptions of the properties SetProperties refused, with the reason.
  std::vector<std::string> Refusals() const {
    std::vector<std::string> refusals;
    for (const auto& group : m_groups)
      for (size_t i = 0; i < group.props.size(); ++i)
        if (group.props[i].dwStatus != DBPROPSTATUS_OK)
          refusals.push_back(Quoted(group.infos[i]->description) + " " + StatusText(group.props[i].dwStatus));
    return refusals;
  }
  bool Empty() const { return m_groups.empty(); }

 private:
  struct Group {
    GUID set;
    std::vector<DBPROP> props;
    std::vector<const InitPropertyInfo*> infos;
  };
  Group& GroupFor(REFGUID set) {
    for (auto& group : m_groups)
      if (group.set == set) return group;
    return m_groups.emplace_back(Group{set, {}, {}});
  }
  std::vector<Group> m_groups;
};

// Clears the values a catalog read.
struct CValueList {
  ~CValueList() {
    for (auto& v : values) VariantClear(&v);
  }
  std::vector<VARIANT> values;
};

std::optional<ClassEntry> FindProvider(std::u16string_view name) {
  if (!name.empty() && name.front() == u'{') {
    std::u16string text(name);
    CLSID clsid;
    if (FAILED(CLSIDFromString(text.c_str(), &clsid))) return std::nullopt;
    return CClassRegistry::Instance().Find(clsid);
  }
  return CClassRegistry::Instance().FindByProgId(OleToAnsi(name));
}

}  // namespace

HRESULT CDataInitialize::Fail(HRESULT hr, std::string_view description) const {
  return PostError(hr, CLSID_MSDAINITIALIZE, IID_IDataInitialize, kErrorSource, description);
}

HRESULT CDataInitialize::GetDataSource(IUnknown* pUnkOuter, DWORD /*dwClsCtx*/,
                                       LPCOLESTR pwszInitializationString, REFIID riid,
                                       IUnknown** ppDataSource) {
  ClearErrorInfo();
  if (!ppDataSource) return Fail(E_INVALIDARG, "No place was given for the data source");
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, "Data sources made from initialization strings cannot be aggregated");

  std::string syntaxError;
  auto pairs = ParseInitializationString(pwszInitializationString ? pwszInitializationString : u"", syntaxError);
  if (!pairs) return Fail(DB_E_BADINITSTRING, "The initialization string is not valid: " + syntaxError);

  // An existing data source takes the string's properties; its provider is
  // already chosen.
  if (*ppDataSource) {
    ComPtr<IDBProperties> existing;
    if (FAILED((*ppDataSource)->QueryInterface(IID_IDBProperties, existing.ReleaseAndGetVoidAddress())))
      return Fail(E_NOINTERFACE, "The data source given does not expose IDBProperties");
    return ApplyProperties(existing, *pairs, "the data source");
  }

  ComPtr<IDBProperties> properties;
  std::string providerName;
  HRESULT hr = CreateProvider(*pairs, properties, providerName);
  if (FAILED(hr)) return hr;
  hr = ApplyProperties(properties, *pairs, providerName);
  if (FAILED(hr)) return hr;
  if (FAILED(properties->QueryInterface(riid, reinterpret_cast<void**>(ppDataSource))))
    return Fail(E_NOINTERFACE, "The data source of " + providerName + " does not expose the interface asked for");
  return S_OK;
}

HRESULT CDataInitialize::CreateProvider(const std::vector<InitStringPair>& pairs,
                                        ComPtr<IDBProperties>& properties,
                                        std::string& providerName) const {
  const InitStringPair* provider = nullptr;
  for (const auto& pair : pairs)
    if (InitKeywordEquals(pair.keyword, u"Provider")) provider = &pair;
  if (!provider || provider->value.empty())
    return Fail(DB_E_BADINITSTRING, "The initialization string names no provider");

  std::optional<ClassEntry> entry = FindProvider(provider->value);
  if (!entry) return Fail(REGDB_E_CLASSNOTREG, "The provider " + Quoted(provider->value) + " is not registered");
  providerName = entry->progId;
  HRESULT hr = CoCreateInstance(entry->clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                                properties.ReleaseAndGetVoidAddress());
  if (FAILED(hr)) return Fail(hr, "The provider " + providerName + " could not be created as a data source");
  return S_OK;
}

HRESULT CDataInitialize::ApplyProperties(IDBProperties* properties,
                                         const std::vector<InitStringPair>& pairs,
                                         const std::string& providerName) const {
  CInitPropertyCatalog catalog;
  HRESULT hr = catalog.Load(properties);
  if (FAILED(hr)) return Fail(hr, "The initialization properties of " + providerName + " could not be read");

  CErrorRecordsBuilder errors(CLSID_MSDAINITIALIZE, IID_IDataInitialize, kErrorSource);
  CPendingProperties pending;
  for (const auto& pair : pairs) {
    if (InitKeywordEquals(pair.keyword, u"Provider")) continue;
    const InitPropertyInfo* info = catalog.FindByDescription(pair.keyword);
    if (!info) {
      errors.Add(DB_E_ERRORSOCCURRED, Quoted(pair.keyword) + " is not an initialization property of " + providerName);
      continue;
    }
    VARIANT value;
    if (FAILED(InitValueFromText(info->type, pair.value, value))) {
      // A password is never repeated in a message.
      std::string shown = IsPassword(*info) ? "The value" : "The value " + Quoted(pair.value);
      errors.Add(DB_E_ERRORSOCCURRED, shown + " of " + Quoted(pair.keyword) + " is not valid for its type");
      continue;
    }
    pending.Add(*info, value);
  }
  if (!errors.Empty()) return errors.Post(DB_E_ERRORSOCCURRED);
  if (pending.Empty()) return S_OK;

  std::vector<DBPROPSET> sets = pending.Sets();
  hr = properties->SetProperties(static_cast<ULONG>(sets.size()), sets.data());
  if (hr == S_OK) return S_OK;
  for (const auto& refusal : pending.Refusals())
    errors.Add(DB_E_ERRORSOCCURRED, "The property " + refusal);
  if (errors.Empty()) errors.Add(hr, "The provider " + providerName + " did not take the initialization properties");
  return errors.Post(FAILED(hr) ? hr : DB_E_ERRORSOCCURRED);
}

HRESULT CDataInitialize::GetInitializationString(IUnknown* pDataSource, boolean fIncludePassword,
                                                 LPOLESTR* ppwszInitString) {
  ClearErrorInfo();
  if (!ppwszInitString) return Fail(E_INVALIDARG, "No place was given for the initialization string");
  *ppwszInitString = nullptr;
  if (!pDataSource) return Fail(E_INVALIDARG, "No data source was given");

  std::u16string text;
  HRESULT hr = ProviderName(pDataSource, text);
  if (FAILED(hr)) return hr;
  ComPtr<IDBProperties> properties;
  if (FAILED(pDataSource->QueryInterface(IID_IDBProperties, properties.ReleaseAndGetVoidAddress())))
    return Fail(E_NOINTERFACE, "The data source does not expose IDBProperties");
  hr = WriteProperties(properties, fIncludePassword != 0, text);
  if (FAILED(hr)) return hr;

  size_t bytes = (text.size() + 1) * sizeof(OLECHAR);
  auto* result = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
  if (!result) return Fail(E_OUTOFMEMORY, "Out of memory for the initialization string");
  std::memcpy(result, text.c_str(), bytes);
  *ppwszInitString = result;
  return S_OK;
}

// "Provider=" and the provider's programmatic name (its class identifier
// when it has none), found from the data source's class.
HRESULT CDataInitialize::ProviderName(IUnknown* dataSource, std::u16string& text) const {
  ComPtr<IPersist> persist;
  CLSID clsid;
  if (FAILED(dataSource->QueryInterface(IID_IPersist, persist.ReleaseAndGetVoidAddress())) ||
      FAILED(persist->GetClassID(&clsid)))
    return Fail(E_NOINTERFACE, "The data source does not tell its provider's class (IPersist)");
  std::optional<ClassEntry> entry = CClassRegistry::Instance().Find(clsid);
  std::u16string name;
  if (entry && !entry->progId.empty()) {
    name = AnsiToOle(entry->progId);
  } else {
    OLECHAR guid[40];
    StringFromGUID2(clsid, guid, 40);
    name = guid;
  }
  text = u"Provider=" + QuoteInitStringValue(name);
  return S_OK;
}

HRESULT CDataInitialize::WriteProperties(IDBProperties* properties, bool includePassword,
                                         std::u16string& text) const {
  CInitPropertyCatalog catalog;
  HRESULT hr = catalog.Load(properties);
  if (FAILED(hr)) return Fail(hr, "The data source's initialization properties could not be read");
  CValueList current;
  hr = catalog.ReadValues(properties, current.values);
  if (FAILED(hr)) return Fail(hr, "The data source's initialization properties could not be read");

  const auto& infos = catalog.Properties();
  for (size_t i = 0; i < infos.size(); ++i) {
    const VARIANT& value = current.values[i];
    if (value.vt == VT_EMPTY || !HasTextForm(value.vt) || IsHandle(infos[i])) continue;
    if (IsPassword(infos[i]) && !includePassword) continue;
    std::u16string valueText;
    if (FAILED(InitValueToText(value, valueText))) continue;  // no text form: not persisted
    text += u";" + infos[i].description + u"=" + QuoteInitStringValue(valueText);
  }
  return S_OK;
}

HRESULT CDataInitialize::CreateDBInstance(REFCLSID clsidProvider, IUnknown* pUnkOuter, DWORD /*dwClsCtx*/,
                                          LPOLESTR /*pwszReserved*/, REFIID riid, IUnknown** ppDataSource) {
  ClearErrorInfo();
  if (!ppDataSource) return Fail(E_INVALIDARG, "No place was given for the data source");
  *ppDataSource = nullptr;
  HRESULT hr = CoCreateInstance(clsidProvider, pUnkOuter, CLSCTX_INPROC_SERVER, riid,
                                reinterpret_cast<void**>(ppDataSource));
  if (FAILED(hr)) return Fail(hr, "The provider could not be created");
  return S_OK;
}

HRESULT CDataInitialize::CreateDBInstanceEx(REFCLSID, IUnknown*, DWORD, LPOLESTR, COSERVERINFO*, ULONG,
                                            MULTI_QI*) {
  ClearErrorInfo();
  return Fail(E_NOTIMPL, "Creating data sources on other machines is not offered");
}

HRESULT CDataInitialize::LoadStringFromStorage(LPCOLESTR, LPOLESTR* ppwszInitializationString) {
  ClearErrorInfo();
  if (ppwszInitializationString) *ppwszInitializationString = nullptr;
  return Fail(E_NOTIMPL, "Initialization strings are not kept in files");
}

HRESULT CDataInitialize::WriteStringToStorage(LPCOLESTR, LPCOLESTR, DWORD) {
  ClearErrorInfo();
  return Fail(E_NOTIMPL, "Initialization strings are not kept in files");
}

HRESULT CDataInitialize::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_IDataInitialize});
}

namespace {

const CClassRegistrar s_registrar({
    CLSID_MSDAINITIALIZE,
    CDataInitialize::kProgId,
    "Data initialization service",
    ClassKind::Service,
    [](REFIID riid, void** ppv) { return CDataInitialize::CreateInstance<CDataInitialize>(riid, ppv); },
});

}  // namespace
