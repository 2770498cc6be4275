// The walk AddRefRows and ReleaseRows share: one handle at a time, filling
// the per-row counts and statuses and folding them into the call's result.
#pragma once

#include "AccessorTable.h"
#include "oledb.h"

// change(hRow, count) adjusts one row's reference count, sets count to the
// count that remains and says whether the handle was valid. Invalid handles
// report a count of zero.
template <class Change>
HRESULT ChangeRowRefCounts(DBCOUNTITEM cRows, const HROW rghRows[], DBREFCOUNT rgRefCounts[],
                           DBROWSTATUS rgRowStatus[], Change change) {
  size_t failed = 0;
  for (DBCOUNTITEM i = 0; i < cRows; ++i) {
    DBREFCOUNT count = 0;
    const bool valid = change(rghRows[i], count);
    if (!valid) ++failed;
    if (rgRefCounts) rgRefCounts[i] = valid ? count : 0;
    if (rgRowStatus) rgRowStatus[i] = valid ? DBROWSTATUS_S_OK : DBROWSTATUS_E_INVALID;
  }
  return CombineBindingStatuses(failed, cRows);
}
