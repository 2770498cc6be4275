// The rowset properties a consumer asks for on a command or OpenRowset,
// remembering which were required.
#pragma once

#include "PropertyTable.h"
#include "RequiredRowsetProperties.h"

class CSqliteRowsetProperties {
 public:
  CSqliteRowsetProperties();

  HRESULT SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]);
  HRESULT GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                        ULONG* pcPropertySets, DBPROPSET** prgPropertySets) const;

  bool Bool(DBPROPID id) const { return m_store.Bool(DBPROPSET_ROWSET, id); }
  LONG Long(DBPROPID id) const { return m_store.Long(DBPROPSET_ROWSET, id); }
  bool Required(DBPROPID id) const { return m_required.Required(id); }
  // What the rowset actually gives, for IRowsetInfo::GetProperties.
  void Grant(DBPROPID id, bool value);
  void GrantLong(DBPROPID id, LONG value);

  bool WantsBookmarks() const { return Bool(DBPROP_IRowsetLocate) || Bool(DBPROP_BOOKMARKS); }
  bool RequiresChange() const { return m_required.RequiresChange(m_store); }

 private:
  CPropertyStore m_store;
  RequiredRowsetProperties m_required;
};
