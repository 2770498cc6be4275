// What a data source says about its initialization properties: each one's
// set, id, type and description (the keyword of an initialization string),
// and the values currently set.
#pragma once

#include <string>
#include <vector>

#include "oleauto.h"
#include "oledb.h"

struct InitPropertyInfo {
  GUID set;
  DBPROPID id;
  VARTYPE type;
  std::u16string description;
};

class CInitPropertyCatalog {
 public:
  // Reads the descriptions: the DBINIT set and every provider-specific
  // property flagged as an initialization property.
  HRESULT Load(IDBProperties* properties);

  const std::vector<InitPropertyInfo>& Properties() const { return m_properties; }
  // By description, without case; null when no property has it.
  const InitPropertyInfo* FindByDescription(std::u16string_view description) const;

  // Current values, parallel to Properties(); VT_EMPTY for a property that
  // is unset or that the data source would not report.
  HRESULT ReadValues(IDBProperties* properties, std::vector<VARIANT>& values) const;

 private:
  std::vector<InitPropertyInfo> m_properties;
};
