// The rows of the report list: every cell is one arena reference in a flat
// table (row by row, one slot per column) and every row one state byte.
// Blocks of a deque hold both, so growing by a million rows never copies
// the table and the memory per cell beyond its text stays near 9 bytes.
#pragma once

#include <deque>
#include <string_view>

#include "TextArena.h"
#include "UiDefs.h"

struct ReportListMemory {
  size_t cells = 0;
  size_t textBytes = 0;      // the bytes of the texts themselves
  size_t overheadBytes = 0;  // everything else the rows hold
};

class ReportListModel {
 public:
  int RowCount() const { return static_cast<int>(m_states.size()); }
  // Cells per row: the column count, at least one (the item's own text).
  int Stride() const { return m_stride; }

  // `texts` holds rowCount * columns cells, row by row; null is empty.
  // Cells past the stride are dropped, missing ones are empty.
  bool InsertRows(int at, int rowCount, int columns, const char* const* texts);
  bool InsertRow(int at, std::string_view firstText);
  bool SetText(int row, int subItem, std::string_view text);
  std::string_view Text(int row, int subItem) const;
  bool DeleteRow(int row);
  void Clear();

  UINT State(int row) const { return m_states[row]; }
  void SetState(int row, UINT state) { m_states[row] = static_cast<uint8_t>(state); }

  // Column changes move the cells to the new stride.
  void InsertColumn(int at, int newColumnCount);
  void DeleteColumn(int at, int newColumnCount);

  ReportListMemory Memory() const;

 private:
  bool StoreCell(size_t index, const char* text);
  void Restride(int newStride, int insertedAt, int deletedAt);

  TextArena m_arena;
  std::deque<TextArena::Ref> m_cells;
  std::deque<uint8_t> m_states;
  int m_stride = 1;
};
