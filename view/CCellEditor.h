// The grid's in-place cell editor. Not a window of its own: a value member
// of the result list that keeps the current cell, draws it inside the
// list's owner drawing, holds the caret in the list window and takes the
// keys and clicks the list forwards. The list's items stay the only store
// of the texts; the editor holds the text of the one cell being edited.
//
// Texts are UTF-8: caret moves and deletions step over whole characters.
// A cell whose text is longer than the editor holds is never edited: its
// text would be written back cut. Opening the caret there is refused with a
// message, and a caret moved onto it by the keyboard ends.
#pragma once

#include "CDC.h"
#include "CListCaret.h"
#include "GdiTypes.h"
#include "UiDefs.h"

class CListCtrl;

class CCellEditor {
 public:
  static constexpr int kTextSize = 256;  // 255 bytes and the terminator

  explicit CCellEditor(HWND window = nullptr);
  CCellEditor(const CCellEditor&) = delete;
  CCellEditor& operator=(const CCellEditor&) = delete;

  void SetWindow(HWND window) { m_hWnd = window; }
  HWND GetWindow() const { return m_hWnd; }

  // Draws the current cell: `cell` gives left, top and bottom; its right is
  // left + width. `format` is the column's LVCFMT_ alignment.
  void DrawCell(CDC* dc, const RECT& cell, int width, int format);

  void BeginEditAt(int row, int column);
  void BeginEditCurrent();
  void EndEdit(BOOL destroyCaret);
  void InsertChar(UINT ch);
  void DeleteCharBefore();
  // TRUE when the Delete key was used here, so the list must not delete
  // the row.
  BOOL DeleteCharAtCaret();
  void CaretLeft();
  void CaretRight();
  void CellUp();
  void CellDown();
  void PageUp();
  void PageDown();
  void HomeKey();
  void EndKey();
  void NextCell();
  void PreviousCell();
  // Makes the cell under a client point current; FALSE when no cell is hit
  // (the column may still have changed).
  BOOL HitTest(POINT point);
  void EnsureCellVisible();
  BOOL CreateEditorCaret();
  void AddRow();
  void DeleteRow();
  void CancelEdit();
  // Rows inserted at `at` into a list that had `countBefore` rows: the
  // current row, if it is one of those that moved, moves with them.
  void RowsInserted(int at, int count, int countBefore);

  // True while the caret is active and the text differs from the list's.
  bool IsCellChanged() const;

  int Row() const { return m_nRow; }
  int Column() const { return m_nColumn; }
  bool IsCaretActive() const { return m_bCaretActive; }
  bool IsNewRowPending() const { return m_bNewRowPending; }
  void SetNewRowPending(bool pending) { m_bNewRowPending = pending; }
  int CaretPosition() const { return m_nCaretPos; }
  const char* Text() const { return m_szText; }
  POINT CaretPoint() const { return m_ptCaret; }
  void SetCaretPoint(POINT point) { m_ptCaret = point; }
  const RECT& CellRect() const { return m_rcCell; }
  CListCaret& Caret() { return m_caret; }

 private:
  CListCtrl* List() const;
  BOOL ComputeCellRect();
  BOOL LeaveCellCheck();
  void MoveToRow(int target);
  void LoadText();
  BOOL CellExists(int row, int column) const;
  bool FitsEditor(int row, int column) const;
  void DropCaretFromLongValue();
  void RedrawRow(int row) const;
  void SelectAndFocus(int row) const;
  void PositionCaret(const RECT& cell);
  void FollowCaret();
  void ShowNewCaret();
  void MoveToColumn(int column);
  bool MayLeaveRow();
  void MoveToRowIfCell(int target);
  int CaretX(int position) const;
  void ScrollToCaret(const RECT& cell);
  int PreviousCharStart(int position) const;
  int NextCharEnd(int position) const;
  int TextLength() const;

  int m_nRow = 0;
  int m_nColumn = 0;
  bool m_bCaretActive = false;
  bool m_bNewRowPending = false;
  int m_nCaretPos = 0;
  int m_nFirstShown = 0;  // first byte drawn while editing, so the caret stays inside the cell
  char m_szText[kTextSize] = {};
  POINT m_ptCaret;
  RECT m_rcCell;
  HWND m_hWnd = nullptr;
  CListCaret m_caret;
  // Bytes still to come of a character whose first byte was dropped.
  int m_nDroppedBytes = 0;
};
