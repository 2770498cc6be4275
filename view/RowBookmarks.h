// One bookmark per list row, packed into one buffer: a slot per row holds a
// length byte and the bookmark's bytes, every slot as wide as the widest
// bookmark kept. A million rows of 8-byte bookmarks take 9 MB and no heap
// object of their own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class RowBookmarks {
 public:
  // A longer bookmark is not kept: its row is then found some other way.
  static constexpr size_t kMaxSize = 255;

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
  size_t Bytes() const { return m_slots.capacity(); }

 private:
  size_t SlotSize() const { return m_width + 1; }
  void Widen(size_t width);
  void Grow(size_t rows);

  size_t m_width = 0;
  size_t m_rows = 0;
  std::vector<unsigned char> m_slots;
};
