// Reads the bookmarks of held rows through one accessor on the bookmark
// column, made once and kept for as many rows as the caller reads.
#pragma once

#include <string>

#include "ComPtr.h"
#include "oledb.h"

class BookmarkReader {
 public:
  explicit BookmarkReader(IRowset* rowset);
  ~BookmarkReader();
  BookmarkReader(const BookmarkReader&) = delete;
  BookmarkReader& operator=(const BookmarkReader&) = delete;

  // False when the rowset has no bookmarks to read.
  bool IsOpen() const { return m_handle != 0; }
  // The row's bookmark; empty when it cannot be read.
  std::string Read(HROW row);

 private:
  IRowset* m_pRowset;
  ComPtr<IAccessor> m_accessor;
  HACCESSOR m_handle = 0;
};
