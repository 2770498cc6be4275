#include "SqliteRowsetProperties.h"

#include "SqliteProperties.h"

CSqliteRowsetProperties::CSqliteRowsetProperties() : m_store(SqliteRowsetProperties()) {}

HRESULT CSqliteRowsetProperties::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  HRESULT hr = m_store.SetProperties(cPropertySets, rgPropertySets);
  if (FAILED(hr) || !rgPropertySets) return hr;
  for (ULONG s = 0; s < cPropertySets; ++s) {
    if (!(rgPropertySets[s].guidPropertySet == DBPROPSET_ROWSET)) continue;
    for (ULONG p = 0; p < rgPropertySets[s].cProperties; ++p) {
      const DBPROP& prop = rgPropertySets[s].rgProperties[p];
      if (prop.dwStatus == DBPROPSTATUS_OK)
        m_required[prop.dwPropertyID] = prop.dwOptions == DBPROPOPTIONS_REQUIRED;
    }
  }
  return hr;
}

HRESULT CSqliteRowsetProperties::GetProperties(ULONG cPropertyIDSets,
                                               const DBPROPIDSET rgPropertyIDSets[],
                                               ULONG* pcPropertySets,
                                               DBPROPSET** prgPropertySets) const {
  return m_store.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

bool CSqliteRowsetProperties::Required(DBPROPID id) const {
  auto it = m_required.find(id);
  return it != m_required.end() && it->second;
}

void CSqliteRowsetProperties::Grant(DBPROPID id, bool value) { m_store.SetBool(DBPROPSET_ROWSET, id, value); }

void CSqliteRowsetProperties::GrantLong(DBPROPID id, LONG value) { m_store.SetLong(DBPROPSET_ROWSET, id, value); }
