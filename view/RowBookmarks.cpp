#include "RowBookmarks.h"

#include <algorithm>
#include <cstring>

void RowBookmarks::Widen(size_t width) {
  if (width <= m_width) return;
  const size_t oldSlot = SlotSize();
  for (std::vector<unsigned char>& block : m_blocks) {
    const size_t rows = block.size() / oldSlot;
    std::vector<unsigned char> wider(rows * (width + 1), 0);
    for (size_t row = 0; row < rows; ++row) std::memcpy(&wider[row * (width + 1)], &block[row * oldSlot], oldSlot);
    block.swap(wider);
  }
  m_width = width;
}

void RowBookmarks::Grow(size_t rows) {
  for (size_t row = m_rows; row < rows;) {
    const size_t block = row / kBlockRows;
    if (block == m_blocks.size()) {
      m_blocks.emplace_back();
      // Blocks after the first will most likely fill: no doubling on the way.
      if (block > 0) m_blocks.back().reserve(kBlockRows * SlotSize());
    }
    const size_t end = std::min(rows, (block + 1) * kBlockRows);
    m_blocks[block].resize((end - block * kBlockRows) * SlotSize(), 0);
    row = end;
  }
  m_rows = std::max(m_rows, rows);
}

bool RowBookmarks::Set(size_t row, std::string_view bookmark) {
  if (bookmark.size() > kMaxSize) {
    if (row < m_rows) Slot(row)[0] = 0;
    return false;
  }
  Widen(bookmark.size());
  Grow(row + 1);
  unsigned char* slot = Slot(row);
  slot[0] = static_cast<unsigned char>(bookmark.size());
  std::memcpy(slot + 1, bookmark.data(), bookmark.size());
  return true;
}

void RowBookmarks::SetRange(size_t first, const RowBookmarks& from) {
  for (size_t row = 0; row < from.Rows(); ++row) Set(first + row, from.View(row));
}

std::string_view RowBookmarks::View(size_t row) const {
  if (row >= m_rows) return {};
  const unsigned char* slot = Slot(row);
  return std::string_view(reinterpret_cast<const char*>(slot + 1), slot[0]);
}

std::string RowBookmarks::Get(size_t row) const { return std::string(View(row)); }

void RowBookmarks::MoveSlots(size_t from, size_t to, size_t count) {
  const size_t size = SlotSize();
  if (to > from) {
    for (size_t i = count; i-- > 0;) std::memmove(Slot(to + i), Slot(from + i), size);
  } else {
    for (size_t i = 0; i < count; ++i) std::memmove(Slot(to + i), Slot(from + i), size);
  }
}

void RowBookmarks::InsertUnknown(size_t at, size_t count) {
  if (at >= m_rows || count == 0) return;
  const size_t moved = m_rows - at;
  Grow(m_rows + count);
  MoveSlots(at, at + count, moved);
  for (size_t row = at; row < at + count; ++row) std::memset(Slot(row), 0, SlotSize());
}

void RowBookmarks::Erase(size_t row) {
  if (row >= m_rows) return;
  MoveSlots(row + 1, row, m_rows - row - 1);
  --m_rows;
  std::vector<unsigned char>& last = m_blocks.back();
  last.resize(last.size() - SlotSize());
  if (last.empty()) m_blocks.pop_back();
}

void RowBookmarks::Clear() {
  m_blocks.clear();
  m_rows = 0;
  m_width = 0;
}

size_t RowBookmarks::Bytes() const {
  size_t bytes = m_blocks.capacity() * sizeof(std::vector<unsigned char>);
  for (const std::vector<unsigned char>& block : m_blocks) bytes += block.capacity();
  return bytes;
}
