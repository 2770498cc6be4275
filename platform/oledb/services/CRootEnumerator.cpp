#include "CRootEnumerator.h"

#include <vector>

#include "ClassRegistry.h"
#include "ColumnDesc.h"
#include "ErrorRecords.h"
#include "MemoryRowset.h"
#include "msdaguid.h"
#include "objbase.h"

namespace {

const std::u16string kErrorSource = AnsiToOle(CRootEnumerator::kProgId);

ColumnDesc Column(std::u16string name, DBTYPE type, DBLENGTH size, DBCOLUMNFLAGS flags) {
  ColumnDesc column;
  column.name = std::move(name);
  column.type = type;
  column.size = size;
  column.flags = flags;
  return column;
}

// The sources rowset's columns, in their standard order.
std::vector<ColumnDesc> SourcesColumns() {
  constexpr DBLENGTH kNameLength = 128;
  constexpr DBCOLUMNFLAGS kFixed = DBCOLUMNFLAGS_ISFIXEDLENGTH;
  return {
      Column(u"SOURCES_NAME", DBTYPE_WSTR, kNameLength, 0),
      Column(u"SOURCES_PARSENAME", DBTYPE_WSTR, kNameLength, 0),
      Column(u"SOURCES_DESCRIPTION", DBTYPE_WSTR, kNameLength, 0),
      Column(u"SOURCES_TYPE", DBTYPE_UI2, sizeof(USHORT), kFixed),
      Column(u"SOURCES_ISPARENT", DBTYPE_BOOL, sizeof(VARIANT_BOOL), kFixed),
  };
}

std::optional<DBSOURCETYPE> SourceType(ClassKind kind) {
  switch (kind) {
    case ClassKind::Provider: return DBSOURCETYPE_DATASOURCE_TDP;
    case ClassKind::Enumerator: return DBSOURCETYPE_ENUMERATOR;
    default: return std::nullopt;
  }
}

std::vector<MemoryRow> SourcesRows() {
  std::vector<MemoryRow> rows;
  for (const ClassEntry& entry : CClassRegistry::Instance().Entries()) {
    std::optional<DBSOURCETYPE> type = SourceType(entry.kind);
    if (!type) continue;
    OLECHAR parseName[40];
    StringFromGUID2(entry.clsid, parseName, 40);
    rows.push_back({NativeValue::Text(entry.progId), NativeValue::Text(OleToAnsi(parseName)),
                    NativeValue::Text(entry.description), NativeValue::Integer(*type),
                    NativeValue::Integer(0)});
  }
  return rows;
}

}  // namespace

HRESULT CRootEnumerator::Fail(HRESULT hr, std::string_view description) const {
  return PostError(hr, CLSID_OLEDB_ENUMERATOR, IID_ISourcesRowset, kErrorSource, description);
}

HRESULT CRootEnumerator::GetSourcesRowset(IUnknown* pUnkOuter, REFIID riid, ULONG cPropertySets,
                                          DBPROPSET rgProperties[], IUnknown** ppSourcesRowset) {
  ClearErrorInfo();
  if (!ppSourcesRowset) return Fail(E_INVALIDARG, "No place was given for the sources rowset");
  *ppSourcesRowset = nullptr;
  if (cPropertySets && !rgProperties) return Fail(E_INVALIDARG, "Property sets were counted but not given");
  for (ULONG i = 0; i < cPropertySets; ++i)
    if (rgProperties[i].cProperties && !rgProperties[i].rgProperties)
      return Fail(E_INVALIDARG, "A property set counts properties it does not give");
  if (pUnkOuter) return Fail(DB_E_NOAGGREGATION, "The sources rowset cannot be aggregated");

  HRESULT propertiesResult = RefuseProperties(cPropertySets, rgProperties);
  if (FAILED(propertiesResult)) return Fail(propertiesResult, "The sources rowset supports no rowset properties");

  HRESULT hr = CreateMemoryRowset(SourcesColumns(), SourcesRows(), Identity(), CLSID_OLEDB_ENUMERATOR,
                                  kErrorSource, riid, ppSourcesRowset);
  if (FAILED(hr)) return Fail(hr, "The sources rowset could not be created");
  return propertiesResult;
}

HRESULT CRootEnumerator::RefuseProperties(ULONG cPropertySets, DBPROPSET rgProperties[]) {
  bool anyRequired = false, anyRefused = false;
  for (ULONG i = 0; i < cPropertySets; ++i) {
    for (ULONG j = 0; j < rgProperties[i].cProperties; ++j) {
      DBPROP& prop = rgProperties[i].rgProperties[j];
      prop.dwStatus = DBPROPSTATUS_NOTSUPPORTED;
      anyRefused = true;
      anyRequired = anyRequired || prop.dwOptions == DBPROPOPTIONS_REQUIRED;
    }
  }
  if (anyRequired) return DB_E_ERRORSOCCURRED;
  return anyRefused ? DB_S_ERRORSOCCURRED : S_OK;
}

HRESULT CRootEnumerator::InterfaceSupportsErrorInfo(REFIID riid) {
  return SupportsErrorInfo(riid, {&IID_ISourcesRowset});
}

namespace {

const CClassRegistrar s_registrar({
    CLSID_OLEDB_ENUMERATOR,
    CRootEnumerator::kProgId,
    "Root enumerator",
    ClassKind::Service,
    [](REFIID riid, void** ppv) { return CRootEnumerator::CreateInstance<CRootEnumerator>(riid, ppv); },
});

}  // namespace
