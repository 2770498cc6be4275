// Reads the bookmarks of held rows through one accessor on the bookmark
// column, made once and kept for as many rows as the caller reads. The
// binding it uses is offered to callers that read a row's bookmark with
// its other columns in one GetData.
#pragma once

#include <string>
#include <string_view>

#include "ComPtr.h"
#include "oledb.h"

class BookmarkReader {
 public:
  // The bytes a bookmark binding takes in a row buffer (8-byte aligned).
  static constexpr DBLENGTH kBindingSize = (256 + sizeof(DBLENGTH) + sizeof(DBSTATUS) + 7) / 8 * 8;

  explicit BookmarkReader(IRowset* rowset);
  ~BookmarkReader();
  BookmarkReader(const BookmarkReader&) = delete;
  BookmarkReader& operator=(const BookmarkReader&) = delete;

  // False when the rowset has no bookmarks to read.
  bool IsOpen() const { return m_handle != 0; }
  // The row's bookmark; empty when it cannot be read.
  std::string Read(HROW row);

  // The binding of the bookmark column at `offset` of a row buffer.
  static DBBINDING Binding(DBBYTEOFFSET offset);
  // Marks the binding's place at `at` as holding no bookmark yet.
  static void ClearBuffer(BYTE* at);
  // The bookmark that binding left at `at`; empty when it has none or one
  // too long to keep (a bookmark cut short would name another row).
  static std::string_view FromBuffer(const BYTE* at);

 private:
  IRowset* m_pRowset;
  ComPtr<IAccessor> m_accessor;
  HACCESSOR m_handle = 0;
};
