// Owns an array of property sets that a provider returned (GetProperties):
// each value is cleared, each property array and then the set array go back
// to the task allocator, exactly once, on every path.
#pragma once

#include <utility>

#include "objbase.h"
#include "oleauto.h"
#include "oledb_types.h"

class CPropertySetArray {
 public:
  CPropertySetArray() = default;
  // Adopts `sets` (task memory, `count` entries); a null array holds nothing.
  CPropertySetArray(ULONG count, DBPROPSET* sets) : m_count(sets ? count : 0), m_sets(sets) {}
  ~CPropertySetArray() { Reset(); }
  CPropertySetArray(const CPropertySetArray&) = delete;
  CPropertySetArray& operator=(const CPropertySetArray&) = delete;
  CPropertySetArray(CPropertySetArray&& other) noexcept
      : m_count(std::exchange(other.m_count, 0)), m_sets(std::exchange(other.m_sets, nullptr)) {}
  CPropertySetArray& operator=(CPropertySetArray&& other) noexcept {
    if (this != &other) {
      Reset();
      m_count = std::exchange(other.m_count, 0);
      m_sets = std::exchange(other.m_sets, nullptr);
    }
    return *this;
  }

  // Out-parameters of GetProperties: each frees what is held first, so the
  // two may be taken in either order.
  ULONG* CountOut() {
    Reset();
    return &m_count;
  }
  DBPROPSET** SetsOut() {
    Reset();
    return &m_sets;
  }

  // A provider may return a count with no array; such a result holds nothing.
  ULONG Count() const { return m_sets ? m_count : 0; }
  DBPROPSET* Get() const { return m_sets; }
  DBPROPSET& operator[](ULONG index) const { return m_sets[index]; }
  DBPROPSET* begin() const { return m_sets; }
  DBPROPSET* end() const { return m_sets + Count(); }

  void Reset() {
    for (ULONG i = 0; i < Count(); ++i) ClearSet(m_sets[i]);
    CoTaskMemFree(m_sets);
    m_sets = nullptr;
    m_count = 0;
  }
  // Hands the array to the caller, who frees it from then on.
  DBPROPSET* Detach(ULONG* count) {
    if (count) *count = Count();
    m_count = 0;
    return std::exchange(m_sets, nullptr);
  }

  // Clears one set's values and frees its property array; the set's own
  // storage belongs to whoever holds it.
  static void ClearSet(DBPROPSET& set) {
    for (ULONG i = 0; set.rgProperties && i < set.cProperties; ++i) VariantClear(&set.rgProperties[i].vValue);
    CoTaskMemFree(set.rgProperties);
    set.rgProperties = nullptr;
    set.cProperties = 0;
  }

 private:
  ULONG m_count = 0;
  DBPROPSET* m_sets = nullptr;
};
