#include "ProviderPropertyTable.h"

#include <algorithm>
#include <iterator>

namespace {

bool SameProperty(const PropertyDef& a, const PropertyDef& b) { return *a.set == *b.set && a.id == b.id; }

}  // namespace

CProviderPropertyTable::CProviderPropertyTable(std::initializer_list<std::span<const PropertyDef>> parts) {
  std::vector<const GUID*> sets;
  std::vector<PropertyDef> joined;
  for (std::span<const PropertyDef> part : parts) {
    for (const PropertyDef& def : part) {
      auto same = std::find_if(joined.begin(), joined.end(), [&](auto& d) { return SameProperty(d, def); });
      if (same != joined.end()) {
        *same = def;
        continue;
      }
      joined.push_back(def);
      if (std::none_of(sets.begin(), sets.end(), [&](const GUID* s) { return *s == *def.set; }))
        sets.push_back(def.set);
    }
  }
  for (const GUID* set : sets)
    std::copy_if(joined.begin(), joined.end(), std::back_inserter(m_entries),
                 [&](const PropertyDef& d) { return *d.set == *set; });
}

std::span<const PropertyDef> CProviderPropertyTable::Set(REFGUID set) const {
  auto first = std::find_if(m_entries.begin(), m_entries.end(), [&](auto& d) { return *d.set == set; });
  auto last = std::find_if(first, m_entries.end(), [&](auto& d) { return *d.set != set; });
  return {first, last};
}
