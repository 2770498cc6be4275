#include "RowBookmarks.h"

#include <algorithm>
#include <cstring>

void RowBookmarks::Widen(size_t width) {
  if (width <= m_width) return;
  std::vector<unsigned char> wider(m_rows * (width + 1), 0);
  for (size_t row = 0; row < m_rows; ++row)
    std::memcpy(&wider[row * (width + 1)], &m_slots[row * SlotSize()], SlotSize());
  m_slots.swap(wider);
  m_width = width;
}

void RowBookmarks::Grow(size_t rows) {
  if (rows <= m_rows) return;
  m_slots.resize(rows * SlotSize(), 0);
  m_rows = rows;
}

bool RowBookmarks::Set(size_t row, std::string_view bookmark) {
  if (bookmark.size() > kMaxSize) {
    if (row < m_rows) m_slots[row * SlotSize()] = 0;
    return false;
  }
  Widen(bookmark.size());
  Grow(row + 1);
  unsigned char* slot = &m_slots[row * SlotSize()];
  slot[0] = static_cast<unsigned char>(bookmark.size());
  std::memcpy(slot + 1, bookmark.data(), bookmark.size());
  return true;
}

void RowBookmarks::SetRange(size_t first, const RowBookmarks& from) {
  for (size_t row = 0; row < from.Rows(); ++row) Set(first + row, from.View(row));
}

std::string_view RowBookmarks::View(size_t row) const {
  if (row >= m_rows) return {};
  const unsigned char* slot = &m_slots[row * SlotSize()];
  return std::string_view(reinterpret_cast<const char*>(slot + 1), slot[0]);
}

std::string RowBookmarks::Get(size_t row) const { return std::string(View(row)); }

void RowBookmarks::InsertUnknown(size_t at, size_t count) {
  if (at >= m_rows || count == 0) return;
  m_slots.insert(m_slots.begin() + static_cast<std::ptrdiff_t>(at * SlotSize()), count * SlotSize(), 0);
  m_rows += count;
}

void RowBookmarks::Erase(size_t row) {
  if (row >= m_rows) return;
  const auto start = m_slots.begin() + static_cast<std::ptrdiff_t>(row * SlotSize());
  m_slots.erase(start, start + static_cast<std::ptrdiff_t>(SlotSize()));
  --m_rows;
}

void RowBookmarks::Clear() {
  m_slots.clear();
  m_rows = 0;
  m_width = 0;
}
