// The viewer's bindings: every shown column of a rowset as a provider-
// allocated ANSI string (DBTYPE_STR | DBTYPE_BYREF), one pointer per column
// in the row and nothing else. Built with the list columns that show them.
#pragma once

#include <string>
#include <vector>

#include "CListCtrl.h"
#include "UiThreadCall.h"
#include "oledb.h"

class DisplayBindings {
 public:
  DisplayBindings() = default;
  ~DisplayBindings();
  DisplayBindings(const DisplayBindings&) = delete;
  DisplayBindings& operator=(const DisplayBindings&) = delete;

  bool IsEmpty() const { return m_rgBindings == nullptr; }
  const DBBINDING* Bindings() const { return m_rgBindings; }
  DBCOUNTITEM ColumnCount() const { return m_cColumns; }
  DBLENGTH RowSize() const { return m_cbRowSize; }

  // Takes over a task-allocated array of `count` bindings.
  void Adopt(DBBINDING* bindings, DBCOUNTITEM count);
  void Clear();

 private:
  DBBINDING* m_rgBindings = nullptr;
  DBCOUNTITEM m_cColumns = 0;
  DBLENGTH m_cbRowSize = 0;
};

// One list column, as the display bindings show it.
struct DisplayColumn {
  DBORDINAL ordinal = 0;
  std::string heading;
  LONG characters = 0;  // after the cap; negative for unlimited text
  int format = LVCFMT_LEFT;
};

// The columns that are shown: past the hidden leading ones (a bookmark
// among those does not count towards the number), never a bookmark and
// never an object column.
std::vector<DisplayColumn> ChooseDisplayColumns(const DBCOLUMNINFO* columns, DBORDINAL count,
                                                DBORDINAL hiddenColumns, int maxChars);
// Characters by type, capped at maxChars by a signed comparison.
LONG DisplayCharacters(const DBCOLUMNINFO& column, int maxChars);
// Pixels: 6 per character and 12 more, or the heading's width and 13
// when that is wider.
int DisplayColumnWidth(LONG characters, int headingWidth);

// Reads the rowset's columns, fills `bindings` and inserts one list column
// per shown column (through `onUiThread` when called off that thread).
// Without column information nothing is created and its status returned.
HRESULT BindColumnsForDisplay(IRowset* rowset, DBORDINAL hiddenColumns, int maxChars, CListCtrl& list,
                              DisplayBindings& bindings, const UiThreadCall& onUiThread = {});
