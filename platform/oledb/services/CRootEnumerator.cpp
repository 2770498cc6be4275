#include "CRootEnumerator.h"

#include <optional>
#include <vector>

#include "ClassRegistry.h"
#include "ErrorRecords.h"
#include "SourcesRowset.h"
#include "msdaguid.h"
#include "objbase.h"

namespace {

const std::u16string kErrorSource = AnsiToOle(CRootEnumerator::kProgId);

std::optional<DBSOURCETYPE> SourceType(ClassKind kind) {
  switch (kind) {
    case ClassKind::Provider: return DBSOURCETYPE_DATASOURCE_TDP;
    case ClassKind::Enumerator: return DBSOURCETYPE_ENUMERATOR;
    default: return std::nullopt;
  }
}

std::vector<SourceRow> SourcesRows() {
  std::vector<SourceRow> rows;
  for (const ClassEntry& entry : CClassRegistry::Instance().Entries()) {
    std::optional<DBSOURCETYPE> type = SourceType(entry.kind);
    if (!type) continue;
    OLECHAR parseName[40];
    StringFromGUID2(entry.clsid, parseName, 40);
    rows.push_back({entry.progId, OleToAnsi(parseName), entry.description, *type, false});
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

  HRESULT hr = CreateSourcesRowset(SourcesRows(), Identity(), CLSID_OLEDB_ENUMERATOR, kErrorSource, riid,
                                   ppSourcesRowset);
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
