// The loader's one accessor: the display bindings and, when the grid wants
// them and the rowset has them, the row's bookmark after them, so one
// GetData reads a row's texts and its bookmark together.
#pragma once

#include <string_view>
#include <vector>

#include "ComPtr.h"
#include "DisplayBindings.h"
#include "oledb.h"

class LoadAccessor {
 public:
  // Without bookmarks, or when the rowset refuses the bookmark binding, the
  // accessor has the display bindings only.
  LoadAccessor(IRowset* rowset, const DisplayBindings& bindings, bool wantBookmarks);
  ~LoadAccessor();
  LoadAccessor(const LoadAccessor&) = delete;
  LoadAccessor& operator=(const LoadAccessor&) = delete;

  bool IsOpen() const { return m_handle != 0; }
  HACCESSOR Handle() const { return m_handle; }
  bool HasBookmarks() const { return m_bookmarkOffset != 0; }
  // Bytes of one row's buffer; the texts come first, as the display
  // bindings lay them out.
  DBLENGTH RowSize() const { return m_rowSize; }
  // Readies a row's buffer for GetData: no texts, no bookmark.
  void ClearRow(BYTE* row) const;
  // The bookmark read into a row's buffer; empty when there is none.
  std::string_view Bookmark(const BYTE* row) const;

 private:
  bool Create(const std::vector<DBBINDING>& bindings, DBLENGTH rowSize);

  ComPtr<IAccessor> m_accessor;
  HACCESSOR m_handle = 0;
  DBLENGTH m_rowSize = 0;
  DBLENGTH m_textsSize = 0;
  DBBYTEOFFSET m_bookmarkOffset = 0;
};
