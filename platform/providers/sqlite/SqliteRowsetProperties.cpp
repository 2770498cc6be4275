#include "SqliteRowsetProperties.h"

#include "SqliteProperties.h"

CSqliteRowsetProperties::CSqliteRowsetProperties() : m_store(SqliteRowsetProperties()) {}

HRESULT CSqliteRowsetProperties::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  HRESULT hr = m_store.SetProperties(cPropertySets, rgPropertySets);
  if (SUCCEEDED(hr)) m_required.Note(cPropertySets, rgPropertySets);
  return hr;
}

HRESULT CSqliteRowsetProperties::GetProperties(ULONG cPropertyIDSets,
                                               const DBPROPIDSET rgPropertyIDSets[],
                                               ULONG* pcPropertySets,
                                               DBPROPSET** prgPropertySets) const {
  return m_store.GetProperties(cPropertyIDSets, rgPropertyIDSets, pcPropertySets, prgPropertySets);
}

void CSqliteRowsetProperties::Grant(DBPROPID id, bool value) { m_store.SetBool(DBPROPSET_ROWSET, id, value); }

void CSqliteRowsetProperties::GrantLong(DBPROPID id, LONG value) { m_store.SetLong(DBPROPSET_ROWSET, id, value); }
