// The texts of whole row batches on their way from the loader to the list.
// Handing over every batch of 20 costs two thread switches each, which on
// a busy machine can cost more than reading the rows; so batches read in
// quick succession travel together: the first at once (the first screen
// shows without delay), later ones once a few milliseconds have passed
// since the last hand-over, and whatever is left when reading ends.
//
// The provider's strings are copied into one buffer and freed as they are
// added, on the reading thread: strings freed on another thread than the
// one that allocates them take the allocator's slow road on both sides.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "RowBatch.h"
#include "RowBookmarks.h"
#include "oledb.h"

class BatchHandOver {
 public:
  static constexpr std::chrono::milliseconds kInterval{2};

  explicit BatchHandOver(DBCOUNTITEM columns) : m_columns(columns) {}
  BatchHandOver(const BatchHandOver&) = delete;
  BatchHandOver& operator=(const BatchHandOver&) = delete;

  // Copies `rows` rows of provider-allocated texts (null for empty) and
  // frees them.
  void Add(char* const* cells, DBCOUNTITEM rows);
  // The bookmark of the next row added (for a grid that writes back).
  void AddBookmark(std::string_view bookmark) { m_bookmarks.Set(m_bookmarkRows++, bookmark); }
  // True for the first rows of a load and once the interval has passed.
  bool IsDue() const;

  int FirstRow() const { return m_firstRow; }
  DBCOUNTITEM Rows() const { return m_rows; }
  // The text of cell `index` (row by row) added so far; null for empty.
  const char* Text(size_t index) const;
  const RowBookmarks& Bookmarks() const { return m_bookmarks; }

  // The rows gathered so far, with their texts; the next rows follow them
  // in the list.
  std::unique_ptr<RowBatch> Take();
  // Drops the rows gathered; the next rows follow them in the list.
  void Clear() { Take(); }

 private:
  static constexpr size_t kEmpty = SIZE_MAX;
  DBCOUNTITEM m_columns;
  std::vector<char> m_bytes;
  // Per cell, where its text starts in m_bytes, or kEmpty.
  std::vector<size_t> m_offsets;
  DBCOUNTITEM m_rows = 0;
  RowBookmarks m_bookmarks;
  size_t m_bookmarkRows = 0;
  int m_firstRow = 0;
  bool m_handedOver = false;
  std::chrono::steady_clock::time_point m_lastHandOver;
};
