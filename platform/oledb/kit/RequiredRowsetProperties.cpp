#include "RequiredRowsetProperties.h"

void RequiredRowsetProperties::Note(ULONG cPropertySets, const DBPROPSET rgPropertySets[]) {
  if (!rgPropertySets) return;
  for (ULONG s = 0; s < cPropertySets; ++s) {
    if (!(rgPropertySets[s].guidPropertySet == DBPROPSET_ROWSET) || !rgPropertySets[s].rgProperties) continue;
    for (ULONG p = 0; p < rgPropertySets[s].cProperties; ++p) {
      const DBPROP& prop = rgPropertySets[s].rgProperties[p];
      if (prop.dwStatus == DBPROPSTATUS_OK) m_required[prop.dwPropertyID] = prop.dwOptions == DBPROPOPTIONS_REQUIRED;
    }
  }
}

bool RequiredRowsetProperties::Required(DBPROPID id) const {
  auto it = m_required.find(id);
  return it != m_required.end() && it->second;
}

bool RequiredRowsetProperties::RequiresChange(const CPropertyStore& rowset) const {
  return (rowset.Bool(DBPROPSET_ROWSET, DBPROP_IRowsetChange) && Required(DBPROP_IRowsetChange)) ||
         (rowset.Long(DBPROPSET_ROWSET, DBPROP_UPDATABILITY) != 0 && Required(DBPROP_UPDATABILITY));
}
