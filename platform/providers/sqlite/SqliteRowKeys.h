// The row id of each result position of a rowset whose rows are read again
// by key: 8 bytes a row, in blocks, so millions of rows grow without ever
// copying the keys kept (nor holding them twice meanwhile). Finding a key's position is a binary search while
// the keys arrive in ascending order (a table scan), and otherwise uses a
// sorted index built when first needed.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <utility>
#include <vector>

class CSqliteRowKeys {
 public:
  size_t Size() const { return m_keys.size(); }
  int64_t At(size_t position) const { return m_keys[position]; }
  void Append(int64_t key);
  // A changed key (an edit of the row id column) moves with its row.
  void Set(size_t position, int64_t key);
  std::optional<size_t> Find(int64_t key);
  void Clear();

 private:
  std::deque<int64_t> m_keys;
  bool m_ascending = true;
  std::vector<std::pair<int64_t, size_t>> m_index;  // sorted; empty while ascending
  size_t m_indexed = 0;                              // positions m_index covers
};
