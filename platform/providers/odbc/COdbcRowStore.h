// The rows a rowset has fetched, packed: one 12-byte cell record per value
// and blocks of bytes for all text and bytes, never an object per cell.
// Cells and bytes grow in blocks of fixed size past the first, so a
// million rows cost what they hold, not twice that in spare capacity.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "NativeValue.h"

class COdbcRowStore {
 public:
  explicit COdbcRowStore(size_t columns) : m_columns(columns) {}

  size_t Columns() const { return m_columns; }
  size_t Rows() const { return m_columns ? m_count / m_columns : 0; }

  // Appends one cell to the row being built; a row is complete after
  // Columns() cells.
  void AddNull() { Push(0, 0, NativeKind::Null); }
  void AddInteger(int64_t v) { Push(static_cast<uint64_t>(v), 0, NativeKind::Integer); }
  void AddReal(double v);
  void AddBytes(NativeKind kind, const void* data, size_t size);
  // UTF-16 from the driver, stored as UTF-8 without a copy in between; a
  // lone surrogate becomes U+FFFD.
  void AddText(std::u16string_view text);
  // Appends a copy of a value, as one cell.
  void AddView(const NativeValueView& value);

  NativeValueView View(size_t row, size_t column) const;
  // Drops rows from `rows` on (and a partly built row): a failed fetch
  // leaves only whole rows.
  void Truncate(size_t rows);
  // Forgets every row, keeping the memory for the rows that follow.
  void Clear();

 private:
  // A value's 64 bits (the integer, the double's bits, or where its bytes
  // are: the block in the high half, the offset in the low), its byte count
  // and kind; 12 bytes.
  struct Cell {
    uint32_t low, high;
    uint32_t sizeAndKind;  // size << 3 | kind
  };
  static constexpr size_t kCellBlock = size_t{1} << 16;  // cells per block
  static constexpr size_t kByteBlock = size_t{1} << 20;  // bytes per block, unless one value is larger

  void Push(uint64_t bits, size_t size, NativeKind kind);
  // Room for `size` more bytes in one block; returns where they go.
  uint64_t Reserve(size_t size);
  const Cell& At(size_t index) const { return m_cells[index / kCellBlock][index % kCellBlock]; }

  size_t m_columns;
  size_t m_count = 0;                    // cells in use
  std::vector<std::vector<Cell>> m_cells;  // blocks; all but the first reserved whole
  std::vector<std::string> m_bytes;        // blocks in use up to m_byteBlock
  size_t m_byteBlock = 0;
};
