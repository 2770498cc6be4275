// The rows a rowset has fetched, packed: one cell record per value and one
// byte buffer for all text and bytes, never an object per cell.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "NativeValue.h"

class COdbcRowStore {
 public:
  explicit COdbcRowStore(size_t columns) : m_columns(columns) {}

  size_t Columns() const { return m_columns; }
  size_t Rows() const { return m_columns ? m_cells.size() / m_columns : 0; }

  // Appends one cell to the row being built; a row is complete after
  // Columns() cells.
  void AddNull() { m_cells.push_back({0, 0, NativeKind::Null}); }
  void AddInteger(int64_t v) { m_cells.push_back({static_cast<uint64_t>(v), 0, NativeKind::Integer}); }
  void AddReal(double v);
  void AddBytes(NativeKind kind, const void* data, size_t size);
  // UTF-16 from the driver, stored as UTF-8 without a copy in between; a
  // lone surrogate becomes U+FFFD.
  void AddText(std::u16string_view text);

  // Appends a copy of a value, as one cell.
  void AddView(const NativeValueView& value);

  NativeValueView View(size_t row, size_t column) const;
  // Forgets every row, keeping the memory for the rows that follow.
  void Clear() {
    m_cells.clear();
    m_bytes.clear();
  }
  // Drops rows from `rows` on (and a partly built row): a failed fetch
  // leaves only whole rows.
  void Truncate(size_t rows) { m_cells.resize(std::min(m_cells.size(), rows * m_columns)); }

 private:
  struct Cell {
    uint64_t bits;  // the integer, the double's bits, or the offset into m_bytes
    uint32_t size;  // bytes of text or blob
    NativeKind kind;
  };
  size_t m_columns;
  std::vector<Cell> m_cells;
  std::string m_bytes;
};
