// Which rowset properties a consumer set as required rather than optional.
// Noted after a property store has taken the sets (and marked each
// property's status), so only properties it accepted count: a rowset must
// give what was required, and may decline what was only asked for.
#pragma once

#include <map>

#include "PropertyTable.h"
#include "oledb.h"

class RequiredRowsetProperties {
 public:
  void Note(ULONG cPropertySets, const DBPROPSET rgPropertySets[]);
  bool Required(DBPROPID id) const;
  // Whether `rowset` (the store the sets went to) asks for changes as
  // required: IRowsetChange or a nonzero DBPROP_UPDATABILITY.
  bool RequiresChange(const CPropertyStore& rowset) const;

 private:
  std::map<DBPROPID, bool> m_required;
};
