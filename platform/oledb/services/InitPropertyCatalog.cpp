#include "InitPropertyCatalog.h"

#include <memory>

#include "CPropertyInfoSetArray.h"
#include "CPropertySetArray.h"
#include "InitializationString.h"

namespace {

bool IsInitProperty(REFGUID set, const DBPROPINFO& info) {
  if (info.dwFlags == DBPROPFLAGS_NOTSUPPORTED || !info.pwszDescription) return false;
  return set == DBPROPSET_DBINIT || (info.dwFlags & DBPROPFLAGS_DBINIT) != 0;
}

}  // namespace

HRESULT CInitPropertyCatalog::Load(IDBProperties* properties) {
  m_properties.clear();
  CPropertyInfoSetArray info;
  // No property sets asked: every set the data source offers now, which
  // before initialization is its initialization sets.
  HRESULT hr = properties->GetPropertyInfo(0, nullptr, info.CountOut(), info.SetsOut(), info.DescriptionsOut());
  if (FAILED(hr)) return hr;
  for (const DBPROPINFOSET& set : info) {
    for (ULONG j = 0; j < set.cPropertyInfos; ++j) {
      const DBPROPINFO& p = set.rgPropertyInfos[j];
      if (IsInitProperty(set.guidPropertySet, p))
        m_properties.push_back({set.guidPropertySet, p.dwPropertyID, p.vtType, p.pwszDescription});
    }
  }
  return S_OK;
}

const InitPropertyInfo* CInitPropertyCatalog::FindByDescription(std::u16string_view description) const {
  for (const auto& p : m_properties)
    if (InitKeywordEquals(p.description, description)) return &p;
  return nullptr;
}

HRESULT CInitPropertyCatalog::ReadValues(IDBProperties* properties, std::vector<VARIANT>& values) const {
  values.assign(m_properties.size(), VARIANT{});
  // One id set per property set, in the order the sets first appear.
  std::vector<GUID> setOrder;
  std::vector<std::vector<DBPROPID>> ids;
  for (const auto& p : m_properties) {
    size_t k = 0;
    while (k < setOrder.size() && !(setOrder[k] == p.set)) ++k;
    if (k == setOrder.size()) {
      setOrder.push_back(p.set);
      ids.emplace_back();
    }
    ids[k].push_back(p.id);
  }
  if (setOrder.empty()) return S_OK;
  std::vector<DBPROPIDSET> request(setOrder.size());
  for (size_t k = 0; k < setOrder.size(); ++k)
    request[k] = {ids[k].data(), static_cast<ULONG>(ids[k].size()), setOrder[k]};

  CPropertySetArray result;
  HRESULT hr = properties->GetProperties(static_cast<ULONG>(request.size()), request.data(), result.CountOut(),
                                         result.SetsOut());
  // Some properties missing is fine: they are simply not written.
  if (FAILED(hr) && hr != DB_E_ERRORSOCCURRED) return hr;
  for (const DBPROPSET& set : result) {
    for (ULONG j = 0; j < set.cProperties; ++j) {
      DBPROP& prop = set.rgProperties[j];
      if (prop.dwStatus != DBPROPSTATUS_OK) continue;
      for (size_t n = 0; n < m_properties.size(); ++n) {
        if (m_properties[n].set == set.guidPropertySet && m_properties[n].id == prop.dwPropertyID) {
          // Take the value over; the holder then clears an empty variant.
          VariantClear(&values[n]);
          values[n] = prop.vValue;
          prop.vValue.vt = VT_EMPTY;
          break;
        }
      }
    }
  }
  return S_OK;
}
