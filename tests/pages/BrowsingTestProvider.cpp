#include "BrowsingTestProvider.h"

#include <cstring>

#include "ColumnDesc.h"
#include "ComObject.h"
#include "ErrorRecords.h"
#include "MemoryRowset.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// {7A3C1E58-2B4D-4F6A-8C1E-5D9B0A7F3E21}
constexpr CLSID CLSID_BrowsingTestProvider = {0x7A3C1E58, 0x2B4D, 0x4F6A, {0x8C, 0x1E, 0x5D, 0x9B, 0x0A, 0x7F, 0x3E, 0x21}};
constexpr char16_t kSource[] = u"Ravezov.BrowsingTest";
constexpr DBPROPID kMysteryId = 7;

std::vector<ColumnDesc> Columns(std::initializer_list<const char16_t*> names) {
  std::vector<ColumnDesc> columns;
  for (const char16_t* name : names) {
    ColumnDesc column;
    column.name = name;
    column.size = 64;
    columns.push_back(column);
  }
  return columns;
}

// Column information with a bookmark column in front, and nothing else: the
// rowset cannot be read.
class BookmarkColumnsInfo : public ComObject<IColumnsInfo> {
 public:
  HRESULT STDMETHODCALLTYPE GetColumnInfo(DBORDINAL* pcColumns, DBCOLUMNINFO** prgInfo, OLECHAR** ppStrings) override {
    return FillColumnInfo(Columns({u"FIRST", u"SECOND"}), true, pcColumns, prgInfo, ppStrings);
  }
  HRESULT STDMETHODCALLTYPE MapColumnIDs(DBORDINAL, const DBID[], DBORDINAL[]) override { return E_NOTIMPL; }
};

class TestSession : public ComObject<IDBSchemaRowset> {
 public:
  TestSession(IUnknown* inner, BrowsingProviderScript& script) : m_inner(inner), m_script(script) {}

  HRESULT STDMETHODCALLTYPE GetRowset(IUnknown* outer, REFGUID schema, ULONG cRestrictions,
                                      const VARIANT rgRestrictions[], REFIID riid, ULONG cSets, DBPROPSET rgSets[],
                                      IUnknown** rowset) override {
    if (schema == kBookmarkSchema) return CreateInstance<BookmarkColumnsInfo>(riid, reinterpret_cast<void**>(rowset));
    if (schema == kCustomSchema) return CustomRowset(cRestrictions, rgRestrictions, riid, rowset);
    return m_inner.As<IDBSchemaRowset>()->GetRowset(outer, schema, cRestrictions, rgRestrictions, riid, cSets, rgSets,
                                                    rowset);
  }
  HRESULT STDMETHODCALLTYPE GetSchemas(ULONG* count, GUID** schemas, ULONG** support) override {
    const HRESULT hr = m_inner.As<IDBSchemaRowset>()->GetSchemas(count, schemas, support);
    if (FAILED(hr)) return hr;
    const ULONG grown = *count + 2;
    *schemas = static_cast<GUID*>(CoTaskMemRealloc(*schemas, grown * sizeof(GUID)));
    *support = static_cast<ULONG*>(CoTaskMemRealloc(*support, grown * sizeof(ULONG)));
    (*schemas)[*count] = kCustomSchema;
    (*support)[*count] = 0x1 | 0x4;
    (*schemas)[*count + 1] = kBookmarkSchema;
    (*support)[*count + 1] = 0x1 | 0x2;
    *count = grown;
    return hr;
  }

 private:
  HRESULT CustomRowset(ULONG cRestrictions, const VARIANT rgRestrictions[], REFIID riid, IUnknown** rowset) {
    if (cRestrictions) {
      std::vector<std::string> values;
      for (ULONG i = 0; i < cRestrictions; ++i)
        values.push_back(rgRestrictions[i].vt == VT_BSTR ? OleToAnsi(rgRestrictions[i].bstrVal) : "");
      m_script.customRestrictions.push_back(values);
    }
    std::vector<MemoryRow> rows = {{NativeValue::Text("a"), NativeValue::Text("b"), NativeValue::Text("c")}};
    return CreateMemoryRowset(Columns({u"ALPHA", u"BETA", u"GAMMA"}), std::move(rows), nullptr,
                              CLSID_BrowsingTestProvider, kSource, riid, rowset);
  }

  ComPtr<IUnknown> m_inner;
  BrowsingProviderScript& m_script;
};

template <class T>
T* TaskArray(size_t count) {
  auto* p = static_cast<T*>(CoTaskMemAlloc(count * sizeof(T)));
  std::memset(static_cast<void*>(p), 0, count * sizeof(T));
  return p;
}

class TestDataSource : public ComObject<IDBInitialize, IDBCreateSession, IDBProperties> {
 public:
  TestDataSource(IDBInitialize* inner, BrowsingProviderScript& script) : m_inner(inner), m_script(script) {}

  HRESULT STDMETHODCALLTYPE Initialize() override { return m_inner->Initialize(); }
  HRESULT STDMETHODCALLTYPE Uninitialize() override { return m_inner->Uninitialize(); }

  HRESULT STDMETHODCALLTYPE CreateSession(IUnknown* outer, REFIID riid, IUnknown** session) override {
    if (!session) return E_INVALIDARG;
    *session = nullptr;
    ComPtr<IUnknown> inner;
    const HRESULT hr = m_inner.As<IDBCreateSession>()->CreateSession(outer, IID_IUnknown, &inner);
    if (FAILED(hr)) return hr;
    return CreateInstance<TestSession>(riid, reinterpret_cast<void**>(session), inner.Get(), m_script);
  }

  // The custom set's one property comes back in error, with a value a
  // careless provider left behind.
  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cIdSets, const DBPROPIDSET rgIdSets[], ULONG* pcSets,
                                          DBPROPSET** prgSets) override {
    if (cIdSets != 1 || rgIdSets[0].guidPropertySet != kCustomPropSet)
      return m_inner.As<IDBProperties>()->GetProperties(cIdSets, rgIdSets, pcSets, prgSets);
    auto* set = TaskArray<DBPROPSET>(1);
    set->guidPropertySet = kCustomPropSet;
    set->cProperties = 1;
    set->rgProperties = TaskArray<DBPROP>(1);
    set->rgProperties[0].dwPropertyID = kMysteryId;
    set->rgProperties[0].dwStatus = DBPROPSTATUS_NOTSUPPORTED;
    set->rgProperties[0].vValue.vt = VT_BSTR;
    set->rgProperties[0].vValue.bstrVal = SysAllocString(u"stale");
    *pcSets = 1;
    *prgSets = set;
    return DB_E_ERRORSOCCURRED;
  }
  // Two DBINIT sets, each with its own property, then the custom set.
  HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG, const DBPROPIDSET[], ULONG* pcInfoSets,
                                            DBPROPINFOSET** prgInfoSets, OLECHAR** ppDescBuffer) override {
    static constexpr char16_t kDescriptions[] = u"Data Source\0Prompt\0Mystery";
    auto* buffer = TaskArray<OLECHAR>(sizeof kDescriptions / sizeof(char16_t));
    std::memcpy(buffer, kDescriptions, sizeof kDescriptions);
    const struct {
      GUID set;
      DBPROPID id;
      VARTYPE type;
      size_t description;
    } rows[] = {{DBPROPSET_DBINIT, DBPROP_INIT_DATASOURCE, VT_BSTR, 0},
                {DBPROPSET_DBINIT, DBPROP_INIT_PROMPT, VT_I2, 12},
                {kCustomPropSet, kMysteryId, VT_BSTR, 19}};
    auto* sets = TaskArray<DBPROPINFOSET>(3);
    for (size_t i = 0; i < 3; ++i) {
      sets[i].guidPropertySet = rows[i].set;
      sets[i].cPropertyInfos = 1;
      sets[i].rgPropertyInfos = TaskArray<DBPROPINFO>(1);
      sets[i].rgPropertyInfos[0].dwPropertyID = rows[i].id;
      sets[i].rgPropertyInfos[0].vtType = rows[i].type;
      sets[i].rgPropertyInfos[0].dwFlags = DBPROPFLAGS_READ;
      sets[i].rgPropertyInfos[0].pwszDescription = buffer + rows[i].description;
    }
    *pcInfoSets = 3;
    *prgInfoSets = sets;
    if (ppDescBuffer)
      *ppDescBuffer = buffer;
    else
      CoTaskMemFree(buffer);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cSets, DBPROPSET rgSets[]) override {
    return m_inner.As<IDBProperties>()->SetProperties(cSets, rgSets);
  }

 private:
  ComPtr<IDBInitialize> m_inner;
  BrowsingProviderScript& m_script;
};

}  // namespace

ComPtr<IDBInitialize> CreateBrowsingTestProvider(IDBInitialize* inner, BrowsingProviderScript& script) {
  ComPtr<IDBInitialize> provider;
  ComObject<IDBInitialize>::CreateInstance<TestDataSource>(IID_IDBInitialize, provider.ReleaseAndGetVoidAddress(),
                                                             inner, script);
  return provider;
}
