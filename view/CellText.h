// How a grid cell's text is laid out. The list that draws the cells and the
// editor drawn over one share it, so the text stays put when editing starts.
#pragma once

#include "GdiTypes.h"
#include "ListViewDefs.h"

// Space between a cell's edges and its text.
inline constexpr int kCellTextInset = 6;
inline constexpr UINT kCellTextFormat = DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS | DT_NOPREFIX;

// The DrawText alignment of a column's LVCFMT_ format.
inline UINT CellTextAlignment(int columnFormat) {
  switch (columnFormat & LVCFMT_JUSTIFYMASK) {
    case LVCFMT_RIGHT: return DT_RIGHT;
    case LVCFMT_CENTER: return DT_CENTER;
    default: return DT_LEFT;
  }
}
