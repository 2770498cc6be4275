// Rows read by the loader on their way to the list: the provider-allocated
// texts of whole rows (freed with the batch, on whichever thread drops it)
// and, for a grid that writes back, each row's bookmark.
#pragma once

#include <vector>

#include "RowBookmarks.h"
#include "oledb.h"

class RowBatch {
 public:
  RowBatch(int firstRow, DBCOUNTITEM rows, std::vector<const char*> texts, RowBookmarks bookmarks)
      : m_firstRow(firstRow), m_rows(rows), m_texts(std::move(texts)), m_bookmarks(std::move(bookmarks)) {}
  ~RowBatch();
  RowBatch(const RowBatch&) = delete;
  RowBatch& operator=(const RowBatch&) = delete;

  // The list row the loader counted for the first row.
  int FirstRow() const { return m_firstRow; }
  DBCOUNTITEM Rows() const { return m_rows; }
  // Rows() rows of texts, row by row; null is empty.
  const char* const* Texts() const { return m_texts.data(); }
  const RowBookmarks& Bookmarks() const { return m_bookmarks; }

 private:
  int m_firstRow;
  DBCOUNTITEM m_rows;
  std::vector<const char*> m_texts;
  RowBookmarks m_bookmarks;
};
