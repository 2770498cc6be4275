#include "SqliteRowsetProperties.h"

#include "SqliteProperties.h"
#include "oleauto.h"

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

void CSqliteRowsetProperties::Grant(DBPROPID id, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  m_store.SetValue(DBPROPSET_ROWSET, id, v);
}

void CSqliteRowsetProperties::GrantLong(DBPROPID id, LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  m_store.SetValue(DBPROPSET_ROWSET, id, v);
}
