#include "COdbcRowsetOptions.h"

#include "OdbcProperties.h"

COdbcRowsetOptions::COdbcRowsetOptions() : m_store(OdbcRowsetProperties()) {}

HRESULT COdbcRowsetOptions::Read(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  if (cPropertySets == 0) return S_OK;
  HRESULT hr = m_store.SetProperties(cPropertySets, rgPropertySets);
  if (FAILED(hr) || !rgPropertySets) return hr;
  for (ULONG s = 0; s < cPropertySets; ++s) {
    if (!(rgPropertySets[s].guidPropertySet == DBPROPSET_ROWSET)) continue;
    for (ULONG p = 0; p < rgPropertySets[s].cProperties; ++p) {
      const DBPROP& prop = rgPropertySets[s].rgProperties[p];
      if (prop.dwStatus == DBPROPSTATUS_OK) m_required[prop.dwPropertyID] = prop.dwOptions == DBPROPOPTIONS_REQUIRED;
    }
  }
  return hr;
}

bool COdbcRowsetOptions::RequiresChange() const {
  auto required = [this](DBPROPID id) {
    auto it = m_required.find(id);
    return it != m_required.end() && it->second;
  };
  return (m_store.Bool(DBPROPSET_ROWSET, DBPROP_IRowsetChange) && required(DBPROP_IRowsetChange)) ||
         (m_store.Long(DBPROPSET_ROWSET, DBPROP_UPDATABILITY) != 0 && required(DBPROP_UPDATABILITY));
}

bool COdbcRowsetOptions::WantsBookmarks() const {
  return m_store.Bool(DBPROPSET_ROWSET, DBPROP_BOOKMARKS) || m_store.Bool(DBPROPSET_ROWSET, DBPROP_IRowsetLocate) ||
         WantsChange();
}

bool COdbcRowsetOptions::WantsChange() const {
  return m_store.Bool(DBPROPSET_ROWSET, DBPROP_IRowsetChange) || m_store.Long(DBPROPSET_ROWSET, DBPROP_UPDATABILITY) != 0;
}

void COdbcRowsetOptions::Grant(DBPROPID id, bool granted) { m_store.SetBool(DBPROPSET_ROWSET, id, granted); }
