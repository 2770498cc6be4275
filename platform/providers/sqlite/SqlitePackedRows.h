// Rows kept for a rowset with bookmarks whose rows cannot be read again by
// a key: each row packed into a shared arena of large blocks, one 8-byte
// entry per row, no object or heap string per cell. A changed row is packed
// again at the end; a deleted one keeps its entry, marked.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "SqliteRow.h"

class CSqlitePackedRows {
 public:
  explicit CSqlitePackedRows(size_t columns = 0) : m_columns(columns) {}

  size_t Size() const { return m_entries.size(); }
  // Keeps the row's values; returns its index.
  size_t Append(const CSqliteRow& row);
  void Replace(size_t index, const CSqliteRow& row);
  void MarkDeleted(size_t index);
  // Fills the row's values and deleted mark; false for an unknown index.
  bool Load(size_t index, CSqliteRow& row) const;
  void Clear();

 private:
  uint64_t Store(const CSqliteRow& row);

  static constexpr size_t kBlockSize = size_t{1} << 20;
  static constexpr uint64_t kDeleted = uint64_t{1} << 63;
  size_t m_columns;
  // An entry is the block's number in the high bits and the offset in it in
  // the low 32; the top bit marks a deleted row.
  std::vector<uint64_t> m_entries;
  std::vector<std::unique_ptr<char[]>> m_blocks;
  size_t m_used = kBlockSize;  // bytes used in the last block
};
