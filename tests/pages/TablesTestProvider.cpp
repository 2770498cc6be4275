#include "TablesTestProvider.h"

#include <cstring>

#include "ComObject.h"
#include "ErrorRecords.h"
#include "MemoryRowset.h"
#include "msdasc.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// {6D1C3E7A-5B2F-4C1D-9E8A-0F3B7C2D4E51}
constexpr CLSID CLSID_TablesTestProvider = {0x6D1C3E7A, 0x5B2F, 0x4C1D, {0x9E, 0x8A, 0x0F, 0x3B, 0x7C, 0x2D, 0x4E, 0x51}};
constexpr char16_t kSource[] = u"Ravezov.TablesTest";

std::string NameOf(const DBID* id) {
  return id && id->eKind == DBKIND_NAME && id->uName.pwszName ? OleToAnsi(id->uName.pwszName) : std::string();
}

NativeValue TextOrNull(const std::string& text) { return text.empty() ? NativeValue::Null() : NativeValue::Text(text); }

HRESULT FakeTablesRowset(const std::vector<FakeTableRow>& tables, REFIID riid, IUnknown** rowset) {
  std::vector<ColumnDesc> columns(4);
  columns[0].name = u"TABLE_CATALOG";
  columns[1].name = u"TABLE_SCHEMA";
  columns[2].name = u"TABLE_NAME";
  columns[3].name = u"TABLE_TYPE";
  std::vector<MemoryRow> rows;
  for (const auto& table : tables)
    rows.push_back({TextOrNull(table.catalog), TextOrNull(table.schema), NativeValue::Text(table.name),
                    NativeValue::Text("TABLE")});
  return CreateMemoryRowset(std::move(columns), std::move(rows), nullptr, CLSID_TablesTestProvider, kSource, riid,
                            rowset);
}

class TestSession : public ComObject<IDBSchemaRowset, IOpenRowset, IDBCreateCommand, ISupportErrorInfo> {
 public:
  TestSession(IUnknown* inner, TablesProviderScript& script) : m_inner(inner), m_script(script) {}

  HRESULT STDMETHODCALLTYPE GetRowset(IUnknown* outer, REFGUID schema, ULONG cRestrictions,
                                      const VARIANT rgRestrictions[], REFIID riid, ULONG cSets, DBPROPSET rgSets[],
                                      IUnknown** rowset) override {
    ClearErrorInfo();
    if (schema == DBSCHEMA_TABLES && m_script.tablesFail) {
      if (rowset) *rowset = nullptr;
      return PostError(E_FAIL, CLSID_TablesTestProvider, IID_IDBSchemaRowset, kSource, "Tables are not listed today.");
    }
    if (schema == DBSCHEMA_TABLES && m_script.tables) return FakeTablesRowset(*m_script.tables, riid, rowset);
    if (schema == DBSCHEMA_COLUMNS && cRestrictions > 2 && rgRestrictions[2].vt == VT_BSTR)
      m_script.schemaTableRestrictions.push_back(OleToAnsi(rgRestrictions[2].bstrVal));
    return m_inner.As<IDBSchemaRowset>()->GetRowset(outer, schema, cRestrictions, rgRestrictions, riid, cSets, rgSets,
                                                    rowset);
  }
  HRESULT STDMETHODCALLTYPE GetSchemas(ULONG* count, GUID** schemas, ULONG** support) override {
    return m_inner.As<IDBSchemaRowset>()->GetSchemas(count, schemas, support);
  }

  HRESULT STDMETHODCALLTYPE OpenRowset(IUnknown* outer, DBID* table, DBID* index, REFIID riid, ULONG cSets,
                                       DBPROPSET rgSets[], IUnknown** rowset) override {
    ClearErrorInfo();
    const std::string name = NameOf(table);
    m_script.openedNames.push_back(name);
    m_script.openedInterfaces.push_back(riid);
    if (m_script.bracketedNamesOnly && name.find(' ') != std::string::npos && name.front() != '[') {
      if (rowset) *rowset = nullptr;
      return PostError(DB_E_NOTABLE, CLSID_TablesTestProvider, IID_IOpenRowset, kSource,
                       "No table named " + name + ".");
    }
    if (!m_script.columnsRowset && riid == IID_IColumnsRowset) {
      if (rowset) *rowset = nullptr;
      return E_NOINTERFACE;
    }
    return m_inner.As<IOpenRowset>()->OpenRowset(outer, table, index, riid, cSets, rgSets, rowset);
  }

  HRESULT STDMETHODCALLTYPE CreateCommand(IUnknown* outer, REFIID riid, IUnknown** command) override {
    return m_inner.As<IDBCreateCommand>()->CreateCommand(outer, riid, command);
  }

  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    return SupportsErrorInfo(riid, {&IID_IOpenRowset, &IID_IDBSchemaRowset});
  }

 protected:
  void* FindInterface(REFIID riid) override {
    if (riid == IID_IDBCreateCommand && !m_script.commands) return nullptr;
    return ComObject::FindInterface(riid);
  }

 private:
  ComPtr<IUnknown> m_inner;
  TablesProviderScript& m_script;
};

class TestDataSource : public ComObject<IDBInitialize, IDBCreateSession, IDBProperties, IDBInfo> {
 public:
  TestDataSource(IDBInitialize* inner, TablesProviderScript& script) : m_inner(inner), m_script(script) {}

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

  HRESULT STDMETHODCALLTYPE GetProperties(ULONG cIdSets, const DBPROPIDSET rgIdSets[], ULONG* pcSets,
                                          DBPROPSET** prgSets) override {
    if (cIdSets == 1 && rgIdSets[0].guidPropertySet == DBPROPSET_DATASOURCEINFO && rgIdSets[0].cPropertyIDs == 1 &&
        rgIdSets[0].rgPropertyIDs[0] == DBPROP_CATALOGLOCATION)
      return CatalogLocation(pcSets, prgSets);
    return m_inner.As<IDBProperties>()->GetProperties(cIdSets, rgIdSets, pcSets, prgSets);
  }
  HRESULT STDMETHODCALLTYPE GetPropertyInfo(ULONG cIdSets, const DBPROPIDSET rgIdSets[], ULONG* pcInfoSets,
                                            DBPROPINFOSET** prgInfoSets, OLECHAR** ppDescBuffer) override {
    return m_inner.As<IDBProperties>()->GetPropertyInfo(cIdSets, rgIdSets, pcInfoSets, prgInfoSets, ppDescBuffer);
  }
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG cSets, DBPROPSET rgSets[]) override {
    return m_inner.As<IDBProperties>()->SetProperties(cSets, rgSets);
  }

  HRESULT STDMETHODCALLTYPE GetKeywords(LPOLESTR*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetLiteralInfo(ULONG cLiterals, const DBLITERAL rgLiterals[], ULONG* pcInfo,
                                           DBLITERALINFO** prgInfo, OLECHAR** ppBuffer) override {
    if (!pcInfo || !prgInfo || !ppBuffer || cLiterals == 0) return E_INVALIDARG;
    std::u16string text;
    std::vector<size_t> offsets;
    for (ULONG i = 0; i < cLiterals; ++i) {
      offsets.push_back(text.size());
      text += LiteralValue(rgLiterals[i]);
      text += u'\0';
    }
    auto* infos = static_cast<DBLITERALINFO*>(CoTaskMemAlloc(sizeof(DBLITERALINFO) * cLiterals));
    auto* buffer = static_cast<OLECHAR*>(CoTaskMemAlloc(text.size() * sizeof(OLECHAR)));
    std::memcpy(buffer, text.data(), text.size() * sizeof(OLECHAR));
    for (ULONG i = 0; i < cLiterals; ++i) {
      infos[i] = DBLITERALINFO{};
      infos[i].lt = rgLiterals[i];
      infos[i].fSupported = Supported(rgLiterals[i]);
      infos[i].pwszLiteralValue = buffer + offsets[i];
    }
    *pcInfo = cLiterals;
    *prgInfo = infos;
    *ppBuffer = buffer;
    return S_OK;
  }

 protected:
  void* FindInterface(REFIID riid) override {
    if (riid == IID_IDBInfo && !m_script.hasDbInfo) return nullptr;
    return ComObject::FindInterface(riid);
  }

 private:
  BOOL Supported(DBLITERAL literal) const {
    if (literal == DBLITERAL_CATALOG_NAME) return m_script.catalogSupported;
    if (literal == DBLITERAL_SCHEMA_NAME) return m_script.schemaSupported;
    return TRUE;
  }
  std::u16string LiteralValue(DBLITERAL literal) const {
    if (literal == DBLITERAL_CATALOG_SEPARATOR) return m_script.catalogSeparator;
    if (literal == DBLITERAL_SCHEMA_SEPARATOR) return m_script.schemaSeparator;
    if (literal == DBLITERAL_QUOTE_PREFIX) return m_script.quotePrefix;
    if (literal == DBLITERAL_QUOTE_SUFFIX) return m_script.quoteSuffix;
    return u"";
  }
  HRESULT CatalogLocation(ULONG* pcSets, DBPROPSET** prgSets) const {
    auto* set = static_cast<DBPROPSET*>(CoTaskMemAlloc(sizeof(DBPROPSET)));
    auto* property = static_cast<DBPROP*>(CoTaskMemAlloc(sizeof(DBPROP)));
    *property = DBPROP{};
    property->dwPropertyID = DBPROP_CATALOGLOCATION;
    VariantInit(&property->vValue);
    property->vValue.vt = VT_I4;
    property->vValue.lVal = m_script.catalogLocation;
    *set = DBPROPSET{property, 1, DBPROPSET_DATASOURCEINFO};
    *pcSets = 1;
    *prgSets = set;
    return S_OK;
  }

  ComPtr<IDBInitialize> m_inner;
  TablesProviderScript& m_script;
};

}  // namespace

ComPtr<IDBInitialize> OpenSqliteFile(const std::string& path) {
  ComPtr<IDataInitialize> dataInitialize;
  ComPtr<IDBInitialize> dataSource;
  if (FAILED(CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                              dataInitialize.ReleaseAndGetVoidAddress())))
    return {};
  const std::u16string text = AnsiToOle("Provider=Ravezov.SQLite;Data Source=" + path);
  if (FAILED(dataInitialize->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, text.c_str(), IID_IDBInitialize,
                                           reinterpret_cast<IUnknown**>(&dataSource))))
    return {};
  if (FAILED(dataSource->Initialize())) return {};
  return dataSource;
}

ComPtr<IDBInitialize> CreateTablesTestProvider(IDBInitialize* inner, TablesProviderScript& script) {
  ComPtr<IDBInitialize> provider;
  ComObject<IDBInitialize>::CreateInstance<TestDataSource>(IID_IDBInitialize, provider.ReleaseAndGetVoidAddress(),
                                                             inner, script);
  return provider;
}
