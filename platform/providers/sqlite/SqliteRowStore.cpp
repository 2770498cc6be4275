#include "SqliteRowStore.h"

CSqliteRow& CSqliteRowStore::NewRow(HROW& handle) {
  std::unique_ptr<CSqliteRow> row;
  if (!m_pool.empty()) {
    row = std::move(m_pool.back());
    m_pool.pop_back();
  } else {
    row = std::make_unique<CSqliteRow>();
  }
  row->refCount = 0;
  row->deleted = false;
  row->bookmark = 0;
  row->position = CSqliteRow::kNoPosition;
  row->inserted = false;
  size_t slot;
  if (!m_free.empty()) {
    slot = m_free.back();
    m_free.pop_back();
    m_slots[slot] = std::move(row);
  } else {
    slot = m_slots.size();
    m_slots.push_back(std::move(row));
  }
  handle = static_cast<HROW>(slot + 1);
  return *m_slots[slot];
}

CSqliteRow* CSqliteRowStore::Live(HROW handle) {
  if (handle == 0 || handle > m_slots.size()) return nullptr;
  // A recycled slot is empty until it is reused.
  return m_slots[handle - 1].get();
}

CSqliteRow* CSqliteRowStore::Held(HROW handle) {
  CSqliteRow* row = Live(handle);
  return row && row->refCount > 0 ? row : nullptr;
}

bool CSqliteRowStore::Release(HROW handle, ULONG* remaining) {
  CSqliteRow* row = Held(handle);
  if (!row) return false;
  --row->refCount;
  if (remaining) *remaining = row->refCount;
  if (row->refCount == 0) Recycle(handle - 1);
  return true;
}

void CSqliteRowStore::Recycle(size_t slot) {
  m_pool.push_back(std::move(m_slots[slot]));
  m_free.push_back(slot);
}

void CSqliteRowStore::Discard(HROW handle) {
  if (Live(handle)) Recycle(handle - 1);
}
