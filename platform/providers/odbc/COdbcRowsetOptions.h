// The rowset properties a command or OpenRowset was given, and what the
// rowset grants of them.
#pragma once

#include "PropertyTable.h"
#include "RequiredRowsetProperties.h"
#include "oledb.h"

class COdbcRowsetOptions {
 public:
  COdbcRowsetOptions();

  // Sets the client's properties; fails (DB_E_ERRORSOCCURRED) when a
  // required one cannot be set.
  HRESULT Read(ULONG cPropertySets, DBPROPSET rgPropertySets[]);
  bool WantsBookmarks() const;
  bool WantsChange() const;
  // Whether changes were asked for as required rather than optional.
  bool RequiresChange() const;
  // Records whether an interface was granted, for IRowsetInfo.
  void Grant(DBPROPID id, bool granted);
  CPropertyStore& Store() { return m_store; }
  const CPropertyStore& Store() const { return m_store; }

 private:
  CPropertyStore m_store;
  RequiredRowsetProperties m_required;
};
