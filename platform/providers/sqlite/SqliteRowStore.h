// Row handles of one rowset. A handle is a slot number; released rows go
// back to a pool and are reused, so a forward scan holds only the rows the
// consumer has not released. With bookmarks, released rows are kept.
#pragma once

#include <memory>
#include <vector>

#include "SqliteRow.h"
#include "oledb.h"

class CSqliteRowStore {
 public:
  explicit CSqliteRowStore(bool keepReleased) : m_keepReleased(keepReleased) {}

  // A fresh row with a count of zero and its handle.
  CSqliteRow& NewRow(HROW& handle);
  // The row of a handle the consumer holds, or null.
  CSqliteRow* Held(HROW handle);
  // The row of any live handle, held or kept.
  CSqliteRow* Live(HROW handle);
  // Drops one reference; a row nobody holds is recycled unless kept.
  bool Release(HROW handle, ULONG* remaining);
  // Recycles every kept row nobody holds (a restart forgets them).
  void DropUnheld();
  // Recycles a row that never reached the consumer.
  void Discard(HROW handle);

 private:
  void Recycle(size_t slot);
  bool m_keepReleased;
  std::vector<std::unique_ptr<CSqliteRow>> m_slots;
  std::vector<size_t> m_free;
  std::vector<std::unique_ptr<CSqliteRow>> m_pool;
};
