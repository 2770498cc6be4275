// One bookmark per list row, packed: a slot per row holds a length byte and
// the bookmark's bytes, every slot as wide as the widest bookmark kept. The
// slots lie in blocks of a fixed number of rows, so a million rows of 8-byte
// bookmarks take 9 MB, no heap object of their own, and growing never copies
// the rows already kept (a copy of tens of megabytes would stall the list).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class RowBookmarks {
 public:
  // A longer bookmark is not kept: its row is then found some other way.
  static constexpr size_t kMaxSize = 255;
  static constexpr size_t kBlockRows = size_t{1} << 16;

  size_t Rows() const { return m_rows; }
  bool Empty() const { return m_rows == 0; }
  // Grows the rows as needed; false (and the row unknown) when too long.
  bool Set(size_t row, std::string_view bookmark);
  // Copies `from`'s rows to rows [first, first + from.Rows()).
  void SetRange(size_t first, const RowBookmarks& from);
  // Empty when the row has none.
  std::string Get(size_t row) const;
  std::string_view View(size_t row) const;
  // Rows from `at` on move down by `count`, with their bookmarks.
  void InsertUnknown(size_t at, size_t count);
  // Rows after `row` move up.
  void Erase(size_t row);
  void Clear();
  size_t Bytes() const;

 private:
  size_t SlotSize() const { return m_width + 1; }
  unsigned char* Slot(size_t row) { return m_blocks[row / kBlockRows].data() + (row % kBlockRows) * SlotSize(); }
  const unsigned char* Slot(size_t row) const {
    return m_blocks[row / kBlockRows].data() + (row % kBlockRows) * SlotSize();
  }
  void Widen(size_t width);
  void Grow(size_t rows);
  // Copies `count` slots from row `from` to row `to`, the ranges possibly
  // overlapping.
  void MoveSlots(size_t from, size_t to, size_t count);

  size_t m_width = 0;
  size_t m_rows = 0;
  // Every block but the last holds kBlockRows slots; the last only the
  // slots of rows it has (its own growth copies at most one block).
  std::vector<std::vector<unsigned char>> m_blocks;
};
