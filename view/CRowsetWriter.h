// Writes the grid's changes into the viewer's rowset through IRowsetChange.
// The list's columns are the rowset's shown columns: those past the hidden
// leading columns, leaving out bookmark and object columns, as the viewer
// binds them for display. Rows are found again by their bookmarks
// (IRowsetLocate); a rowset without bookmarks is read again from its start
// to the row's position. Either way the row found is written only while it
// holds the texts the grid shows for it: anything else is refused. Every value goes both ways as text (DBTYPE_STR): written
// through CBind's bindings, read back whole by reference. An empty text
// stands for NULL, as the grid shows NULL as an empty cell.
//
// Each operation reports its own failure to the user (the provider's error
// records, or a message of its own when the rowset cannot do the write)
// and returns the failing status; nothing is written then.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "UiDefs.h"
#include "oledb.h"

class CBind;

class CRowsetWriter {
 public:
  using Texts = std::vector<std::string>;
  // How a list row is found again: its bookmark, else its position in the
  // rowset with the texts the grid shows for it.
  struct RowKey {
    std::string bookmark;
    DBROWOFFSET position = -1;
    Texts shown;
  };

  // `rowset` is borrowed: no reference is kept past the call that uses it.
  CRowsetWriter(IRowset* rowset, int hiddenColumns, HWND owner);

  // Writes the texts that differ from what the row holds now and gives back
  // what it holds afterwards.
  HRESULT UpdateRow(const RowKey& key, const Texts& texts, Texts& stored);
  // Inserts the row (an empty text leaves the column to its default) and
  // gives back its bookmark (empty when the rowset has none) and what the
  // data source stored.
  HRESULT InsertRow(const Texts& texts, std::string& bookmark, Texts& stored);
  HRESULT DeleteRow(const RowKey& key);

  // Bookmarks of held rows, or of the rows at positions [first, first +
  // count) of the rowset; an entry stays empty where none can be read.
  HRESULT ReadBookmarks(const HROW* rows, DBCOUNTITEM count, std::vector<std::string>& bookmarks);
  HRESULT BookmarksByPosition(DBROWOFFSET first, DBCOUNTITEM count, std::vector<std::string>& bookmarks);

  // The number of shown columns, or -1 when the columns cannot be read.
  int ShownColumnCount();

 private:
  HRESULT LoadColumns();
  HRESULT RequireChange(IRowsetChange** change);
  HRESULT MakeWriteAccessor(CBind& bind, std::vector<std::vector<char>>& storage, const Texts& texts,
                            const std::vector<DBSTATUS>& statuses);
  HRESULT FindRow(const RowKey& key, HROW& row, std::vector<std::optional<std::string>>& current);
  static bool Shows(const std::vector<std::optional<std::string>>& held, const Texts& shown);
  HRESULT FindRowByBookmark(IRowsetLocate* locate, const std::string& bookmark, HROW& row);
  HRESULT FindRowByPosition(const RowKey& key, HROW& row);
  HRESULT WriteDifferences(IRowsetChange* change, HROW row, const std::vector<std::optional<std::string>>& current,
                           const Texts& texts);
  HRESULT ReadTexts(HROW row, std::vector<std::optional<std::string>>& texts);
  HRESULT ReadStored(HROW row, Texts& stored);
  void ReleaseRow(HROW row);
  void Refuse(const char* text) const;

  IRowset* m_pRowset;
  int m_nHiddenColumns;
  HWND m_hOwner;
  bool m_bColumnsLoaded = false;
  bool m_bHasBookmarks = false;
  std::vector<DBORDINAL> m_shown;
};
