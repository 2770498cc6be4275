#include "CCellEditor.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "CListCtrl.h"
#include "CellText.h"
#include "CWnd.h"
#include "InputDefs.h"
#include "MessageBox.h"
#include "ShellServices.h"
#include "SysColors.h"

namespace {

constexpr int kMaxTextBytes = CCellEditor::kTextSize - 1;
constexpr const char* kTooLong =
    "This value is longer than the 255 bytes the cell editor holds, so it cannot be edited here.";

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

int SequenceLength(unsigned char lead) {
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  if ((lead & 0xF8) == 0xF0) return 4;
  return 1;
}

}  // namespace

CCellEditor::CCellEditor(HWND window) : m_hWnd(window) {}

CListCtrl* CCellEditor::List() const {
  return m_hWnd ? dynamic_cast<CListCtrl*>(CWnd::FromHandle(m_hWnd)) : nullptr;
}

// ---- text ------------------------------------------------------------------

int CCellEditor::TextLength() const { return static_cast<int>(std::strlen(m_szText)); }

void CCellEditor::LoadText() {
  CListCtrl* list = List();
  if (!list || list->GetItemText(m_nRow, m_nColumn, m_szText, kTextSize) == 0) std::memset(m_szText, 0, kTextSize);
}

int CCellEditor::PreviousCharStart(int position) const {
  if (position <= 0) return 0;
  --position;
  while (position > 0 && IsContinuation(static_cast<unsigned char>(m_szText[position]))) --position;
  return position;
}

int CCellEditor::NextCharEnd(int position) const {
  const int length = TextLength();
  if (position >= length) return length;
  ++position;
  while (position < length && IsContinuation(static_cast<unsigned char>(m_szText[position]))) ++position;
  return position;
}

int CCellEditor::CaretX(int position) const {
  CListCtrl* list = List();
  return list ? list->GetStringWidth(std::string(m_szText, static_cast<size_t>(position)).c_str()) : 0;
}

// ---- cell geometry and state --------------------------------------------------

BOOL CCellEditor::ComputeCellRect() {
  CListCtrl* list = List();
  if (m_nColumn < 0 || !list) return FALSE;
  RECT row;
  if (!list->GetItemRect(m_nRow, &row, LVIR_BOUNDS)) return FALSE;
  int left = row.left;
  for (int column = 0; column < m_nColumn; ++column) left += list->GetColumnWidth(column);
  const int width = list->GetColumnWidth(m_nColumn);
  if (width == 0) return FALSE;
  m_rcCell = RECT{left, row.top, left + width, row.bottom};
  return TRUE;
}

BOOL CCellEditor::CellExists(int row, int column) const {
  CListCtrl* list = List();
  if (!list) return FALSE;
  LVITEM item;
  item.mask = LVIF_STATE;
  item.iItem = row;
  item.iSubItem = column;
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  return list->GetItem(&item);
}

bool CCellEditor::FitsEditor(int row, int column) const {
  CListCtrl* list = List();
  return !list || list->GetItemText(row, column).GetLength() <= kMaxTextBytes;
}

// The caret has come to a cell it cannot edit whole: it ends there.
void CCellEditor::DropCaretFromLongValue() {
  if (!m_bCaretActive || FitsEditor(m_nRow, m_nColumn)) return;
  m_caret.DestroyCaret();
  m_bCaretActive = false;
  RedrawRow(m_nRow);
  AfxMessageBox(m_hWnd, kTooLong, nullptr, MB_ICONINFORMATION);
}

bool CCellEditor::IsCellChanged() const {
  CListCtrl* list = List();
  return m_bCaretActive && list && list->GetItemText(m_nRow, m_nColumn) != m_szText;
}

void CCellEditor::RedrawRow(int row) const {
  if (CListCtrl* list = List()) list->RedrawItems(row, row);
}

void CCellEditor::SelectAndFocus(int row) const {
  CListCtrl* list = List();
  if (list && row >= 0 && row < list->GetItemCount())
    list->SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// Where the caret stands for the caret position. Text that does not fit
// before the caret scrolls out to the left; the caret position itself never
// moves, so what is typed lands where the user put the caret.
void CCellEditor::PositionCaret(const RECT& cell) {
  ScrollToCaret(cell);
  const int x = CaretX(m_nCaretPos) - CaretX(m_nFirstShown) + cell.left + kCellTextInset;
  m_ptCaret = POINT{x, cell.top + 1};
  m_caret.SetCaretPos(m_ptCaret.x, m_ptCaret.y);
}

void CCellEditor::ScrollToCaret(const RECT& cell) {
  if (m_nFirstShown > m_nCaretPos) m_nFirstShown = m_nCaretPos;
  const int room = cell.right - 1 - cell.left - kCellTextInset;
  while (m_nFirstShown < m_nCaretPos && CaretX(m_nCaretPos) - CaretX(m_nFirstShown) >= room)
    m_nFirstShown = NextCharEnd(m_nFirstShown);
}

// Keeps the caret where the next paint would put it, so what follows a key
// does not depend on whether the list has painted in between.
void CCellEditor::FollowCaret() {
  if (m_bCaretActive && ComputeCellRect()) PositionCaret(m_rcCell);
}

BOOL CCellEditor::CreateEditorCaret() {
  if (!ComputeCellRect()) return FALSE;
  return m_caret.CreateSolidCaret(List(), 1, m_rcCell.bottom - m_rcCell.top - 2);
}

void CCellEditor::ShowNewCaret() {
  m_nCaretPos = 0;
  m_nFirstShown = 0;
  FollowCaret();
  m_caret.ShowCaret();
}

// ---- drawing -----------------------------------------------------------------

void CCellEditor::DrawCell(CDC* dc, const RECT& cell, int width, int format) {
  if (!dc) return;
  RECT rect{cell.left, cell.top, cell.left + width, cell.bottom};
  RECT textRect{rect.left + kCellTextInset, rect.top, rect.right - kCellTextInset, rect.bottom};
  if (m_bCaretActive) {
    m_caret.HideCaret();
    dc->FrameRect(&rect, GetStockBrush(BLACK_BRUSH));
    PositionCaret(rect);
    m_caret.ShowCaret();
    dc->DrawText(m_szText + m_nFirstShown, -1, &textRect, kCellTextFormat);
    return;
  }
  LoadText();
  CBrush highlight(GetSysColor(COLOR_HIGHLIGHT));
  dc->FillRect(&rect, &highlight);
  dc->DrawFocusRect(&rect);
  const COLORREF oldColor = dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
  dc->DrawText(m_szText, -1, &textRect, kCellTextFormat | CellTextAlignment(format));
  dc->SetTextColor(oldColor);
}

// ---- editing -----------------------------------------------------------------

void CCellEditor::BeginEditAt(int row, int column) {
  if (m_bNewRowPending || !CellExists(row, column)) return;
  const int oldRow = m_nRow;
  m_nRow = row;
  m_nColumn = column;
  if (!FitsEditor(row, column)) {
    // The cell becomes current, but only to be looked at.
    if (oldRow != row) RedrawRow(oldRow);
    EnsureCellVisible();
    RedrawRow(m_nRow);
    AfxMessageBox(m_hWnd, kTooLong, nullptr, MB_ICONINFORMATION);
    return;
  }
  LoadText();
  m_bCaretActive = true;
  if (oldRow != row) RedrawRow(oldRow);
  EnsureCellVisible();
  RedrawRow(m_nRow);
  CreateEditorCaret();
  ShowNewCaret();
}

void CCellEditor::BeginEditCurrent() {
  if (!m_bCaretActive) BeginEditAt(m_nRow, m_nColumn);
}

void CCellEditor::EndEdit(BOOL destroyCaret) {
  if (!m_bCaretActive) return;
  if (destroyCaret) {
    m_caret.DestroyCaret();
    m_bCaretActive = false;
  }
  CListCtrl* list = List();
  if (!list) return;
  // A cell longer than the editor's 255 bytes that was not changed keeps
  // its whole text instead of the editor's cut copy.
  char current[kTextSize];
  if (list->GetItemText(m_nRow, m_nColumn, current, kTextSize) > 0 && std::strcmp(current, m_szText) == 0) return;
  list->SetItemText(m_nRow, m_nColumn, m_szText);
}

void CCellEditor::InsertChar(UINT ch) {
  const auto byte = static_cast<unsigned char>(ch);
  if (IsContinuation(byte)) {
    // The rest of a character: it goes in after its first byte, or is
    // dropped with it.
    if (m_nDroppedBytes > 0) {
      --m_nDroppedBytes;
      return;
    }
    if (m_nCaretPos == 0 || TextLength() >= kMaxTextBytes) return;
  } else {
    m_nDroppedBytes = 0;
    const int length = SequenceLength(byte);
    const bool fits = byte >= 0x20 && TextLength() + length <= kMaxTextBytes;
    if (!fits) {
      m_nDroppedBytes = length - 1;
      return;
    }
  }
  const int length = TextLength();
  std::memmove(m_szText + m_nCaretPos + 1, m_szText + m_nCaretPos, static_cast<size_t>(length - m_nCaretPos + 1));
  m_szText[m_nCaretPos++] = static_cast<char>(byte);
  // The caret follows once the character is whole, so its later bytes
  // still land right after the first.
  const int start = PreviousCharStart(m_nCaretPos);
  if (SequenceLength(static_cast<unsigned char>(m_szText[start])) <= m_nCaretPos - start) FollowCaret();
  RedrawRow(m_nRow);
}

void CCellEditor::DeleteCharBefore() {
  if (m_nCaretPos == 0) return;
  const int start = PreviousCharStart(m_nCaretPos);
  std::memmove(m_szText + start, m_szText + m_nCaretPos, std::strlen(m_szText + m_nCaretPos) + 1);
  m_nCaretPos = start;
  FollowCaret();
  RedrawRow(m_nRow);
}

BOOL CCellEditor::DeleteCharAtCaret() {
  if (!m_bCaretActive) return m_nColumn != 0;
  const int end = NextCharEnd(m_nCaretPos);
  std::memmove(m_szText + m_nCaretPos, m_szText + end, std::strlen(m_szText + end) + 1);
  RedrawRow(m_nRow);
  return TRUE;
}

// ---- moves inside the text and across cells ---------------------------------------

void CCellEditor::CaretRight() {
  if (m_bCaretActive && m_szText[m_nCaretPos] != '\0') {
    m_nCaretPos = NextCharEnd(m_nCaretPos);
    FollowCaret();
    RedrawRow(m_nRow);  // the text may have scrolled
    return;
  }
  NextCell();
}

void CCellEditor::CaretLeft() {
  if (m_bCaretActive && m_nCaretPos != 0) {
    m_nCaretPos = PreviousCharStart(m_nCaretPos);
    FollowCaret();
    RedrawRow(m_nRow);
  } else if (m_nColumn != 0) {
    PreviousCell();
  }
}

BOOL CCellEditor::LeaveCellCheck() {
  CListCtrl* list = List();
  if (!m_bCaretActive || !list) return TRUE;
  char current[kTextSize];
  if (list->GetItemText(m_nRow, m_nColumn, current, kTextSize) == 0) current[0] = '\0';
  if (std::strcmp(current, m_szText) == 0) return TRUE;
  MessageBeep(0);
  return FALSE;
}

void CCellEditor::MoveToColumn(int column) {
  EndEdit(FALSE);
  m_nColumn = column;
  LoadText();
  m_nCaretPos = 0;
  EnsureCellVisible();
  RedrawRow(m_nRow);
  FollowCaret();
  DropCaretFromLongValue();
}

void CCellEditor::NextCell() {
  CListCtrl* list = List();
  if (!list) return;
  if (!m_bNewRowPending && !LeaveCellCheck()) return;
  LVCOLUMN column;
  column.mask = LVCF_WIDTH;
  if (!list->GetColumn(m_nColumn + 1, &column) || !CellExists(m_nRow, m_nColumn + 1)) return;
  MoveToColumn(m_nColumn + 1);
}

void CCellEditor::PreviousCell() {
  if (m_nColumn == 0 || !List()) return;
  if (!m_bNewRowPending && !LeaveCellCheck()) return;
  if (!CellExists(m_nRow, m_nColumn - 1)) return;
  MoveToColumn(m_nColumn - 1);
}

void CCellEditor::MoveToRow(int target) {
  EndEdit(FALSE);
  const int oldRow = m_nRow;
  m_nRow = target;
  LoadText();
  SelectAndFocus(target);
  m_nCaretPos = 0;
  RedrawRow(oldRow);
  EnsureCellVisible();
  FollowCaret();
  DropCaretFromLongValue();
}

bool CCellEditor::MayLeaveRow() {
  return !m_bNewRowPending && List() && LeaveCellCheck();
}

void CCellEditor::MoveToRowIfCell(int target) {
  if (CellExists(target, m_nColumn)) MoveToRow(target);
}

void CCellEditor::CellDown() {
  if (MayLeaveRow()) MoveToRowIfCell(m_nRow + 1);
}

void CCellEditor::CellUp() {
  if (MayLeaveRow() && m_nRow != 0) MoveToRowIfCell(m_nRow - 1);
}

void CCellEditor::PageDown() {
  if (!MayLeaveRow()) return;
  CListCtrl* list = List();
  const int top = list->GetTopIndex();
  const int perPage = list->GetCountPerPage();
  const int last = list->GetItemCount() - 1;
  const int target = m_nRow < top + perPage - 1 ? std::min(top + perPage - 1, last) : std::min(m_nRow + perPage - 1, last);
  MoveToRowIfCell(target);
}

void CCellEditor::PageUp() {
  if (!MayLeaveRow() || m_nRow == 0) return;
  CListCtrl* list = List();
  const int top = list->GetTopIndex();
  const int perPage = list->GetCountPerPage();
  MoveToRowIfCell(m_nRow > top ? top : std::max(m_nRow - perPage + 1, 0));
}

void CCellEditor::EndKey() {
  if (m_bNewRowPending || !List()) return;
  if (m_bCaretActive && GetKeyState(VK_CONTROL) >= 0) {
    m_nCaretPos = TextLength();
    FollowCaret();
    RedrawRow(m_nRow);
    return;
  }
  if (LeaveCellCheck()) MoveToRowIfCell(List()->GetItemCount() - 1);
}

void CCellEditor::HomeKey() {
  if (m_bNewRowPending || !List()) return;
  if (m_bCaretActive && GetKeyState(VK_CONTROL) >= 0) {
    m_nCaretPos = 0;
    FollowCaret();
    RedrawRow(m_nRow);
    return;
  }
  if (LeaveCellCheck()) MoveToRowIfCell(0);
}

// ---- mouse and scrolling -------------------------------------------------------

BOOL CCellEditor::HitTest(POINT point) {
  CListCtrl* list = List();
  if (!list) return FALSE;
  int x = -list->GetScrollPos(SB_HORZ);
  LVCOLUMN column;
  column.mask = LVCF_WIDTH;
  int hit = -1;
  for (int index = 0; list->GetColumn(index, &column); ++index) {
    // Both edges belong to the column, so its right edge pixel is its own.
    if (x <= point.x && point.x <= x + column.cx) {
      hit = index;
      break;
    }
    x += column.cx;
  }
  if (hit < 0) return FALSE;
  m_nColumn = hit;
  RECT first;
  if (!list->GetItemRect(0, &first, LVIR_BOUNDS)) return FALSE;
  const int rowHeight = first.bottom - first.top;
  if (rowHeight == 0) return FALSE;
  // The header counts as one row plus 3 pixels.
  const int row = list->GetScrollPos(SB_VERT) + (point.y - 3) / rowHeight - 1;
  if (row < 0 || row >= list->GetItemCount()) return FALSE;
  m_nRow = row;
  return TRUE;
}

void CCellEditor::EnsureCellVisible() {
  CListCtrl* list = List();
  if (!list) return;
  list->EnsureVisible(m_nRow, FALSE);
  if (!ComputeCellRect()) return;
  RECT client;
  list->GetClientRect(&client);
  if (m_rcCell.right > client.right)
    list->Scroll(CSize(m_rcCell.right - client.right, 0));
  else if (m_rcCell.left < 0)
    list->Scroll(CSize(m_rcCell.left, 0));
}

// ---- rows ------------------------------------------------------------------------

void CCellEditor::AddRow() {
  CListCtrl* list = List();
  if (m_bNewRowPending || !list) return;
  EndEdit(TRUE);
  const int oldRow = m_nRow;
  m_nColumn = 0;
  m_nRow = list->GetItemCount();
  std::memset(m_szText, 0, kTextSize);
  LVITEM item;
  item.mask = LVIF_TEXT;
  item.iItem = m_nRow;
  item.iSubItem = 0;
  item.pszText = m_szText;
  if (list->InsertItem(&item) < 0) return;
  SelectAndFocus(m_nRow);
  m_bCaretActive = true;
  EnsureCellVisible();
  RedrawRow(oldRow);
  CreateEditorCaret();
  ShowNewCaret();
  m_bNewRowPending = true;
}

void CCellEditor::DeleteRow() {
  CListCtrl* list = List();
  if (!list) return;
  list->DeleteItem(m_nRow);
  if (m_nRow == list->GetItemCount()) --m_nRow;
  // An emptied list keeps row 0 current rather than a row before the first.
  if (m_nRow < 0) m_nRow = 0;
  SelectAndFocus(m_nRow);
  RedrawRow(m_nRow);
}

void CCellEditor::RowsInserted(int at, int count, int countBefore) {
  if (m_nRow < at || m_nRow >= countBefore) return;
  m_nRow += count;
  FollowCaret();
}

void CCellEditor::CancelEdit() {
  if (m_bNewRowPending) {
    EndEdit(TRUE);
    DeleteRow();
    m_bNewRowPending = false;
    return;
  }
  LoadText();
  EndEdit(TRUE);
  RedrawRow(m_nRow);
}
