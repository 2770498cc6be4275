#include "COdbcRowsetOptions.h"

#include "OdbcProperties.h"

COdbcRowsetOptions::COdbcRowsetOptions() : m_store(OdbcRowsetProperties()) {}

HRESULT COdbcRowsetOptions::Read(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  if (cPropertySets == 0) return S_OK;
  HRESULT hr = m_store.SetProperties(cPropertySets, rgPropertySets);
  if (SUCCEEDED(hr)) m_required.Note(cPropertySets, rgPropertySets);
  return hr;
}

bool COdbcRowsetOptions::RequiresChange() const { return m_required.RequiresChange(m_store); }

bool COdbcRowsetOptions::WantsBookmarks() const {
  return m_store.Bool(DBPROPSET_ROWSET, DBPROP_BOOKMARKS) || m_store.Bool(DBPROPSET_ROWSET, DBPROP_IRowsetLocate) ||
         WantsChange();
}

bool COdbcRowsetOptions::WantsChange() const {
  return m_store.Bool(DBPROPSET_ROWSET, DBPROP_IRowsetChange) || m_store.Long(DBPROPSET_ROWSET, DBPROP_UPDATABILITY) != 0;
}

void COdbcRowsetOptions::Grant(DBPROPID id, bool granted) { m_store.SetBool(DBPROPSET_ROWSET, id, granted); }
