// The accessors of one rowset or command: validation with a status per
// binding, reference counts, lookup by handle.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "NativeValue.h"
#include "oledb.h"

struct Accessor {
  DBACCESSORFLAGS flags = 0;
  std::vector<DBBINDING> bindings;  // DBOBJECT pointers are not kept
  DBLENGTH cbRowSize = 0;
  ULONG refCount = 1;
};

class CAccessorTable {
 public:
  // cColumns is the count of data columns (ordinals 1..cColumns); ordinal 0
  // is valid only when the rowset has a bookmark column. Bad bindings give
  // DB_E_ERRORSOCCURRED with their DBBINDSTATUS in rgStatus.
  HRESULT CreateAccessor(DBACCESSORFLAGS dwAccessorFlags, DBCOUNTITEM cBindings,
                         const DBBINDING rgBindings[], DBLENGTH cbRowSize, HACCESSOR* phAccessor,
                         DBBINDSTATUS rgStatus[], DBORDINAL cColumns, bool hasBookmark);
  HRESULT AddRefAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount);
  HRESULT ReleaseAccessor(HACCESSOR hAccessor, DBREFCOUNT* pcRefCount);
  HRESULT GetBindings(HACCESSOR hAccessor, DBACCESSORFLAGS* pdwAccessorFlags,
                      DBCOUNTITEM* pcBindings, DBBINDING** prgBindings) const;

  // A copy of the accessor, or false for an unknown handle.
  bool Find(HACCESSOR hAccessor, Accessor& out) const;

 private:
  mutable std::mutex m_mutex;
  std::map<HACCESSOR, Accessor> m_accessors;
  HACCESSOR m_next = 1;
};

// Fills one row through an accessor: valueOf(ordinal) gives each bound
// column's value. Returns S_OK, DB_S_ERRORSOCCURRED when some but not all
// bindings failed, DB_E_ERRORSOCCURRED when all did.
template <class ValueOf>
HRESULT FillRowBuffer(const Accessor& accessor, BYTE* pData, ValueOf&& valueOf);

// The result of a call over several items: S_OK when none failed,
// DB_S_ERRORSOCCURRED when some did, DB_E_ERRORSOCCURRED when all did.
HRESULT CombineBindingStatuses(size_t failed, size_t total);

#include "DataConversion.h"

template <class ValueOf>
HRESULT FillRowBuffer(const Accessor& accessor, BYTE* pData, ValueOf&& valueOf) {
  size_t failed = 0;
  for (const DBBINDING& b : accessor.bindings) {
    DBSTATUS st = ConvertToBinding(valueOf(b.iOrdinal), b, pData);
    if (st != DBSTATUS_S_OK && st != DBSTATUS_S_ISNULL && st != DBSTATUS_S_TRUNCATED) ++failed;
  }
  return CombineBindingStatuses(failed, accessor.bindings.size());
}
