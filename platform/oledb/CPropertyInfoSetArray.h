// Owns what GetPropertyInfo returned: the property information sets, each
// one's information array (values cleared) and the description buffer that
// the descriptions point into. Everything goes back to the task allocator
// exactly once, on every path.
#pragma once

#include <utility>

#include "objbase.h"
#include "oleauto.h"
#include "oledb_types.h"

class CPropertyInfoSetArray {
 public:
  CPropertyInfoSetArray() = default;
  // Adopts task memory: `count` sets (a null array holds nothing) and the
  // description buffer, which may be null.
  CPropertyInfoSetArray(ULONG count, DBPROPINFOSET* sets, OLECHAR* descriptions)
      : m_count(sets ? count : 0), m_sets(sets), m_descriptions(descriptions) {}
  ~CPropertyInfoSetArray() { Reset(); }
  CPropertyInfoSetArray(const CPropertyInfoSetArray&) = delete;
  CPropertyInfoSetArray& operator=(const CPropertyInfoSetArray&) = delete;
  CPropertyInfoSetArray(CPropertyInfoSetArray&& other) noexcept
      : m_count(std::exchange(other.m_count, 0)),
        m_sets(std::exchange(other.m_sets, nullptr)),
        m_descriptions(std::exchange(other.m_descriptions, nullptr)) {}
  CPropertyInfoSetArray& operator=(CPropertyInfoSetArray&& other) noexcept {
    if (this != &other) {
      Reset();
      m_count = std::exchange(other.m_count, 0);
      m_sets = std::exchange(other.m_sets, nullptr);
      m_descriptions = std::exchange(other.m_descriptions, nullptr);
    }
    return *this;
  }

  // Out-parameters of GetPropertyInfo: each frees what is held first, so
  // they may be taken in any order.
  ULONG* CountOut() {
    Reset();
    return &m_count;
  }
  DBPROPINFOSET** SetsOut() {
    Reset();
    return &m_sets;
  }
  OLECHAR** DescriptionsOut() {
    Reset();
    return &m_descriptions;
  }

  ULONG Count() const { return m_sets ? m_count : 0; }
  DBPROPINFOSET* Get() const { return m_sets; }
  DBPROPINFOSET& operator[](ULONG index) const { return m_sets[index]; }
  DBPROPINFOSET* begin() const { return m_sets; }
  DBPROPINFOSET* end() const { return m_sets + Count(); }
  OLECHAR* Descriptions() const { return m_descriptions; }

  void Reset() {
    for (ULONG i = 0; i < Count(); ++i) ClearSet(m_sets[i]);
    CoTaskMemFree(m_sets);
    CoTaskMemFree(m_descriptions);
    m_sets = nullptr;
    m_descriptions = nullptr;
    m_count = 0;
  }
  // Hands everything to the caller, who frees it from then on.
  DBPROPINFOSET* Detach(ULONG* count, OLECHAR** descriptions) {
    if (count) *count = Count();
    if (descriptions) *descriptions = std::exchange(m_descriptions, nullptr);
    m_count = 0;
    return std::exchange(m_sets, nullptr);
  }

  static void ClearSet(DBPROPINFOSET& set) {
    for (ULONG i = 0; set.rgPropertyInfos && i < set.cPropertyInfos; ++i)
      VariantClear(&set.rgPropertyInfos[i].vValues);
    CoTaskMemFree(set.rgPropertyInfos);
    set.rgPropertyInfos = nullptr;
    set.cPropertyInfos = 0;
  }

 private:
  ULONG m_count = 0;
  DBPROPINFOSET* m_sets = nullptr;
  OLECHAR* m_descriptions = nullptr;
};
