// Rows read by the loader on their way to the list: the texts of whole
// rows, copied into one buffer (so the thread that drops the batch frees
// one block, not a string per cell) and, for a grid that writes back, each
// row's bookmark.
#pragma once

#include <vector>

#include "RowBookmarks.h"
#include "oledb.h"

class RowBatch {
 public:
  // `texts` point into `bytes` (null for an empty cell).
  RowBatch(int firstRow, DBCOUNTITEM rows, std::vector<char> bytes, std::vector<const char*> texts,
           RowBookmarks bookmarks)
      : m_firstRow(firstRow),
        m_rows(rows),
        m_bytes(std::move(bytes)),
        m_texts(std::move(texts)),
        m_bookmarks(std::move(bookmarks)) {}
  RowBatch(const RowBatch&) = delete;
  RowBatch& operator=(const RowBatch&) = delete;

  // The list row the loader counted for the first row.
  int FirstRow() const { return m_firstRow; }
  DBCOUNTITEM Rows() const { return m_rows; }
  // Rows() rows of texts, row by row; null is empty.
  const char* const* Texts() const { return m_texts.data(); }
  const RowBookmarks& Bookmarks() const { return m_bookmarks; }
  // What the batch holds, roughly: its texts and their pointers.
  size_t Bytes() const { return m_bytes.size() + m_texts.size() * sizeof(const char*); }

 private:
  int m_firstRow;
  DBCOUNTITEM m_rows;
  std::vector<char> m_bytes;
  std::vector<const char*> m_texts;
  RowBookmarks m_bookmarks;
};
