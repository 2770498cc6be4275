// Row handles of one rowset. A handle is a slot number; released rows go
// back to a pool and are reused, so a rowset holds only the rows the
// consumer has not released. Rowsets with bookmarks keep what they need to
// find a released row again elsewhere (its key, or its packed values).
#pragma once

#include <memory>
#include <vector>

#include "SqliteRow.h"
#include "oledb.h"

class CSqliteRowStore {
 public:
  // A fresh row with a count of zero and its handle.
  CSqliteRow& NewRow(HROW& handle);
  // The row of a handle the consumer holds, or null.
  CSqliteRow* Held(HROW handle);
  // The row of any live handle.
  CSqliteRow* Live(HROW handle);
  // Drops one reference; a row nobody holds is recycled.
  bool Release(HROW handle, ULONG* remaining);
  // Recycles a row that never reached the consumer.
  void Discard(HROW handle);

 private:
  void Recycle(size_t slot);
  std::vector<std::unique_ptr<CSqliteRow>> m_slots;
  std::vector<size_t> m_free;
  std::vector<std::unique_ptr<CSqliteRow>> m_pool;
};
