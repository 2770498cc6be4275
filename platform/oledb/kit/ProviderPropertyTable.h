// A provider's one property table, joined from parts (its own entries and
// the kit's standard ones). Entries of one set end up together, in the
// order the sets first appear, so a session or rowset can take its set's
// span; an entry repeating a set and id replaces the earlier one in place,
// so a provider can give a standard property another default.
#pragma once

#include <initializer_list>
#include <span>
#include <vector>

#include "PropertyTable.h"

class CProviderPropertyTable {
 public:
  explicit CProviderPropertyTable(std::initializer_list<std::span<const PropertyDef>> parts);

  std::span<const PropertyDef> All() const { return m_entries; }
  // The entries of one set; empty when the table has none.
  std::span<const PropertyDef> Set(REFGUID set) const;

 private:
  std::vector<PropertyDef> m_entries;
};
