#include "CCustListCtrl.h"

#include <QWidget>
#include <algorithm>
#include <cstring>

#include "CRowsetWriter.h"
#include "CellText.h"
#include "MessageBox.h"
#include "SysColors.h"
#include "stringapiset.h"

namespace {

constexpr int kReadBuffer = 256;
constexpr COLORREF kGridColor = RGB(192, 192, 192);
constexpr const char* kStillLoading = "Rows are still loading; try again when loading has finished.";

}  // namespace

CCustListCtrl::CCustListCtrl() {
  m_menu.CreatePopupMenu();
  m_menu.AppendMenu(MF_STRING, kEditCommand, "&Edit");
  m_menu.AppendMenu(MF_STRING, kAddCommand, "&Add");
  m_menu.AppendMenu(MF_STRING, kDeleteCommand, "&Delete");
}

CCustListCtrl::~CCustListCtrl() {
  m_menu.DestroyMenu();
  OutputDebugString("Destructor de CCustListCtrl\n");
}

void CCustListCtrl::PreSubclassWindow() {
  if (m_bEditingEnabled) m_editor.SetWindow(GetSafeHwnd());
  CListCtrl::PreSubclassWindow();
}

// ---- the viewer's rowset and the rows' bookmarks ---------------------------

void CCustListCtrl::SetRowset(IRowset* rowset, int hiddenColumns) {
  m_pRowset = rowset;
  m_nHiddenColumns = hiddenColumns;
  m_bookmarks.Clear();
  m_bRowsMoved = false;
}

BOOL CCustListCtrl::SetRowBookmark(int row, const BYTE* bookmark, DBBKMARK size) {
  if (row < 0 || (size > 0 && !bookmark)) return FALSE;
  return m_bookmarks.Set(static_cast<size_t>(row),
                         std::string_view(reinterpret_cast<const char*>(bookmark), static_cast<size_t>(size)));
}

void CCustListCtrl::SetRowBookmarks(int firstRow, const RowBookmarks& bookmarks) {
  if (firstRow >= 0) m_bookmarks.SetRange(static_cast<size_t>(firstRow), bookmarks);
}

HRESULT CCustListCtrl::RememberBookmarks(int firstRow, DBCOUNTITEM count, const HROW* rows) {
  if (firstRow < 0 || (count && !rows)) return E_INVALIDARG;
  if (!m_pRowset) return E_UNEXPECTED;
  std::vector<std::string> bookmarks;
  CRowsetWriter reader(m_pRowset, m_nHiddenColumns, Owner());
  const HRESULT hr = reader.ReadBookmarks(rows, count, bookmarks);
  if (FAILED(hr)) return hr;
  for (DBCOUNTITEM i = 0; i < count; ++i)
    if (!bookmarks[i].empty())
      SetRowBookmark(firstRow + static_cast<int>(i), reinterpret_cast<const BYTE*>(bookmarks[i].data()),
                     static_cast<DBBKMARK>(bookmarks[i].size()));
  return S_OK;
}

int CCustListCtrl::InsertItems(int item, int rowCount, int columns, const char* const* texts) {
  const int before = GetItemCount();
  const int at = CListCtrl::InsertItems(item, rowCount, columns, texts);
  if (at < 0 || rowCount <= 0) return at;
  m_editor.RowsInserted(at, rowCount, before);
  m_bookmarks.InsertUnknown(static_cast<size_t>(at), static_cast<size_t>(rowCount));
  return at;
}

std::string CCustListCtrl::GetRowBookmark(int row) const {
  return row >= 0 ? m_bookmarks.Get(static_cast<size_t>(row)) : std::string();
}

// While the grid has neither added nor removed a row, list row n is the
// rowset's row at position n.
void CCustListCtrl::FillBookmarksByPosition() {
  if (m_bRowsMoved || !m_pRowset) return;
  const int rows = GetItemCount() - (m_editor.IsNewRowPending() ? 1 : 0);
  int first = 0;
  while (first < rows && !GetRowBookmark(first).empty()) ++first;
  if (first >= rows) return;
  std::vector<std::string> bookmarks;
  CRowsetWriter reader(m_pRowset, m_nHiddenColumns, Owner());
  reader.BookmarksByPosition(first, static_cast<DBCOUNTITEM>(rows - first), bookmarks);
  for (size_t i = 0; i < bookmarks.size(); ++i) {
    const int row = first + static_cast<int>(i);
    if (!bookmarks[i].empty() && GetRowBookmark(row).empty())
      SetRowBookmark(row, reinterpret_cast<const BYTE*>(bookmarks[i].data()),
                     static_cast<DBBKMARK>(bookmarks[i].size()));
  }
}

std::string CCustListCtrl::BookmarkFor(int row) {
  if (GetRowBookmark(row).empty()) FillBookmarksByPosition();
  return GetRowBookmark(row);
}

// ---- writing to the data source ----------------------------------------------

// The texts are the list's, before the edit in progress is stored.
CRowsetWriter::RowKey CCustListCtrl::KeyOf(int row) {
  CRowsetWriter::RowKey key;
  key.bookmark = BookmarkFor(row);
  key.position = row;
  key.shown = RowTexts(row);
  return key;
}

HWND CCustListCtrl::Owner() const {
  CWnd* parent = GetParent();
  return parent ? parent->GetSafeHwnd() : GetSafeHwnd();
}

std::vector<std::string> CCustListCtrl::RowTexts(int row) const {
  std::vector<std::string> texts;
  LVCOLUMN column;
  column.mask = LVCF_WIDTH;
  for (int c = 0; GetColumn(c, &column); ++c) texts.emplace_back(GetItemText(row, c).GetString());
  return texts;
}

void CCustListCtrl::StoreTexts(int row, const std::vector<std::string>& texts) {
  for (size_t c = 0; c < texts.size(); ++c) SetItemText(row, static_cast<int>(c), texts[c].c_str());
}

bool CCustListCtrl::WriteUpdate(int row) {
  m_stored.clear();
  if (!m_pRowset) return true;  // a grid without a data source edits only itself
  std::vector<std::string> texts = RowTexts(row);
  const int column = m_editor.Column();
  // The editor holds at most 255 bytes: a longer cell it did not change
  // keeps its whole text.
  char shown[kReadBuffer];
  GetItemText(row, column, shown, kReadBuffer);
  if (column >= 0 && static_cast<size_t>(column) < texts.size() && std::strcmp(shown, m_editor.Text()) != 0)
    texts[static_cast<size_t>(column)] = m_editor.Text();
  CRowsetWriter writer(m_pRowset, m_nHiddenColumns, Owner());
  return SUCCEEDED(writer.UpdateRow(KeyOf(row), texts, m_stored));
}

bool CCustListCtrl::WriteInsert(int row) {
  m_stored.clear();
  if (!m_pRowset) return true;
  FillBookmarksByPosition();  // before the rows stop matching positions
  std::string bookmark;
  CRowsetWriter writer(m_pRowset, m_nHiddenColumns, Owner());
  if (FAILED(writer.InsertRow(RowTexts(row), bookmark, m_stored))) return false;
  SetRowBookmark(row, reinterpret_cast<const BYTE*>(bookmark.data()), static_cast<DBBKMARK>(bookmark.size()));
  m_bRowsMoved = true;
  return true;
}

bool CCustListCtrl::WriteDelete(int row) {
  if (!m_pRowset) return true;
  CRowsetWriter writer(m_pRowset, m_nHiddenColumns, Owner());
  if (FAILED(writer.DeleteRow(KeyOf(row)))) return false;
  m_bookmarks.Erase(static_cast<size_t>(row));
  m_bRowsMoved = true;
  return true;
}

// ---- row operations ----------------------------------------------------------------

bool CCustListCtrl::RefusedWhileLoading() const {
  if (!m_bRowsLoading) return false;
  AfxMessageBox(Owner(), kStillLoading, nullptr, MB_ICONINFORMATION);
  return true;
}

bool CCustListCtrl::HasUnsavedEdit() const {
  return m_editor.IsNewRowPending() || (m_editor.IsCaretActive() && m_editor.IsCellChanged());
}

bool CCustListCtrl::CommitPendingEdit() { return !Editing() || !HasUnsavedEdit() || CommitRow(); }

bool CCustListCtrl::CommitRow() {
  if (!m_editor.IsCaretActive()) return true;
  if (!HasUnsavedEdit()) {
    // Nothing to write: the edit just ends.
    m_editor.EndEdit(TRUE);
    RedrawItems(m_editor.Row(), m_editor.Row());
    return true;
  }
  if (RefusedWhileLoading()) return false;
  const int row = m_editor.Row();
  bool written = false;
  if (m_editor.IsNewRowPending()) {
    SetItemText(row, m_editor.Column(), m_editor.Text());
    written = WriteInsert(row);
  } else {
    written = WriteUpdate(row);
  }
  if (!written) return false;  // the edit stays as it is, to be mended or cancelled
  m_editor.SetNewRowPending(false);
  m_editor.EndEdit(TRUE);
  // What the data source holds, which may differ from what was typed.
  StoreTexts(row, m_stored);
  RedrawItems(row, row);
  return true;
}

void CCustListCtrl::AddRow() {
  if (m_editor.IsNewRowPending()) return;
  if (RefusedWhileLoading() || !CommitPendingEdit()) return;
  m_editor.AddRow();
  const int row = m_editor.Row();
  if (m_editor.IsNewRowPending()) m_bookmarks.InsertUnknown(static_cast<size_t>(row), 1);
}

void CCustListCtrl::DeleteRow() {
  if (m_editor.DeleteCharAtCaret()) return;
  const int row = m_editor.Row();
  if (row < 0 || row >= GetItemCount() || RefusedWhileLoading() || !WriteDelete(row)) return;
  m_editor.DeleteRow();
}

void CCustListCtrl::CancelEdit() {
  if (!m_editor.IsCaretActive()) return;
  const bool pending = m_editor.IsNewRowPending();
  const int row = m_editor.Row();
  m_editor.CancelEdit();
  if (pending) m_bookmarks.Erase(static_cast<size_t>(row));
}

// The menu's Delete can arrive while a cell is being edited (the keyboard's
// menu key): the question is about the record, so the edit is dropped and
// the record deleted; an unsaved new record is simply dropped.
void CCustListCtrl::DeleteRecordFromMenu() {
  if (RefusedWhileLoading()) return;
  if (AfxMessageBox("Delete record?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (m_editor.IsCaretActive()) {
    const bool pending = m_editor.IsNewRowPending();
    CancelEdit();
    if (pending) return;
  }
  DeleteRow();
}

bool CCustListCtrl::IsLastColumn(int column) const {
  LVCOLUMN next;
  next.mask = LVCF_WIDTH;
  return !GetColumn(column + 1, &next);
}

// ---- drawing ------------------------------------------------------------------------

void CCustListCtrl::DrawCellText(CDC* dc, const char* text, const RECT& cell, int format) {
  RECT rect{cell.left + kCellTextInset, cell.top, cell.right - kCellTextInset, cell.bottom};
  dc->DrawText(text, -1, &rect,
               kCellTextFormat | CellTextAlignment(format));
}

void CCustListCtrl::DrawItem(LPDRAWITEMSTRUCT draw) {
  CDC* dc = draw ? CDC::FromHandle(draw->hDC) : nullptr;
  if (!dc) return;
  const RECT row = draw->rcItem;
  const bool editing = Editing();
  const bool selected = draw->itemState & ODS_SELECTED;
  const int fill = !IsWindowEnabled() ? COLOR_BTNFACE : (!editing && selected) ? COLOR_HIGHLIGHT : COLOR_WINDOW;
  dc->FillSolidRect(&row, GetSysColor(fill));
  CPen grid(PS_SOLID, 0, kGridColor);
  CPen* oldPen = dc->SelectObject(&grid);
  if (editing) {
    dc->MoveTo(row.left, row.top);
    dc->LineTo(row.right, row.top);
    dc->MoveTo(row.left, row.bottom - 1);
    dc->LineTo(row.right, row.bottom - 1);
  } else if (draw->itemState & ODS_FOCUS) {
    dc->DrawFocusRect(&row);
  }
  if (draw->itemID == static_cast<UINT>(-1)) {
    dc->SelectObject(oldPen);
    return;
  }
  const int item = static_cast<int>(draw->itemID);
  const bool highlightText = !editing && selected;
  const COLORREF oldText = highlightText ? dc->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT)) : dc->GetTextColor();
  LVCOLUMN column;
  column.mask = LVCF_FMT | LVCF_WIDTH;
  char text[kReadBuffer];
  int left = row.left;
  for (int c = 0; GetColumn(c, &column); ++c) {
    LVITEM cell;
    cell.mask = LVIF_TEXT;
    cell.iItem = item;
    cell.iSubItem = c;
    cell.pszText = text;
    cell.cchTextMax = kReadBuffer;
    if (!GetItem(&cell)) break;
    const RECT cellRect{left, row.top, left + column.cx, row.bottom};
    if (editing) {
      dc->MoveTo(left + column.cx - 1, row.top);
      dc->LineTo(left + column.cx - 1, row.bottom);
      if (item == m_editor.Row() && c == m_editor.Column())
        m_editor.DrawCell(dc, cellRect, column.cx, column.fmt);
      else
        DrawCellText(dc, text, cellRect, column.fmt);
    } else {
      DrawCellText(dc, text, cellRect, column.fmt);
    }
    left += column.cx;
  }
  dc->SetTextColor(oldText);
  dc->SelectObject(oldPen);
}

// ---- notifications and input --------------------------------------------------------

BOOL CCustListCtrl::OnNotifyReflect(NMHDR* header, LRESULT* result) {
  if (!header || header->code != LVN_COLUMNCLICK) return FALSE;
  *result = 0;
  if (!Editing()) return FALSE;
  const auto* click = reinterpret_cast<const NMLISTVIEW*>(header);
  // A changed cell is written before the caret goes to the clicked column.
  if (!m_editor.IsNewRowPending() && !CommitPendingEdit()) return TRUE;
  m_editor.BeginEditAt(m_editor.Row(), click->iSubItem);
  return TRUE;
}

void CCustListCtrl::OnKeyDown(UINT key, UINT repeat, UINT flags) {
  if (!Editing()) {
    CListCtrl::OnKeyDown(key, repeat, flags);
    return;
  }
  switch (key) {
    case VK_TAB:
      if (GetKeyState(VK_SHIFT) < 0)
        m_editor.PreviousCell();
      else if (IsLastColumn(m_editor.Column()) && HasUnsavedEdit())
        CommitRow();  // Tab out of the row writes it
      else
        m_editor.NextCell();
      return;
    case VK_LEFT: m_editor.CaretLeft(); return;
    case VK_RIGHT: m_editor.CaretRight(); return;
    case VK_UP: m_editor.CellUp(); return;
    case VK_DOWN: m_editor.CellDown(); return;
    case VK_PRIOR: m_editor.PageUp(); return;
    case VK_NEXT: m_editor.PageDown(); return;
    case VK_HOME: m_editor.HomeKey(); return;
    case VK_END: m_editor.EndKey(); return;
    case VK_RETURN: CommitRow(); break;
    case VK_ESCAPE: CancelEdit(); break;
    case VK_INSERT: AddRow(); break;
    case VK_DELETE: DeleteRow(); break;
    case VK_F2: m_editor.BeginEditCurrent(); break;
    default: break;
  }
  CListCtrl::OnKeyDown(key, repeat, flags);
}

void CCustListCtrl::OnChar(UINT ch, UINT repeat, UINT flags) {
  if (!m_editor.IsCaretActive()) {
    CListCtrl::OnChar(ch, repeat, flags);
    return;
  }
  switch (ch) {
    case 8: m_editor.DeleteCharBefore(); break;
    case 9:
    case 13:
    case 27: break;
    default: m_editor.InsertChar(ch); break;
  }
}

BOOL CCustListCtrl::SelectCell(UINT flags, CPoint point, bool rightButton) {
  if (m_editor.IsNewRowPending()) return FALSE;
  if (Editing()) {
    // A changed cell is written first; where it cannot be, the caret stays.
    if (!CommitPendingEdit()) return FALSE;
    m_editor.EndEdit(TRUE);
    RedrawItems(m_editor.Row(), m_editor.Row());
    const BOOL hit = m_editor.HitTest(point);
    RedrawItems(m_editor.Row(), m_editor.Row());
    if (rightButton && !hit) return FALSE;
  }
  if (rightButton)
    CListCtrl::OnRButtonDown(flags, point);
  else
    CListCtrl::OnLButtonDown(flags, point);
  if (Editing()) m_editor.EnsureCellVisible();
  return TRUE;
}

void CCustListCtrl::OnLButtonDown(UINT flags, CPoint point) { SelectCell(flags, point, false); }

void CCustListCtrl::OnRButtonDown(UINT flags, CPoint point) { SelectCell(flags, point, true); }

void CCustListCtrl::OnLButtonDblClk(UINT flags, CPoint point) {
  // Like a click, a double click leaves a pending new row alone.
  if (m_editor.IsNewRowPending()) return;
  if (Editing()) m_editor.BeginEditCurrent();
  CListCtrl::OnLButtonDblClk(flags, point);
}

void CCustListCtrl::OnContextMenu(CWnd*, CPoint point) {
  if (!Editing() || !View()) return;
  if (point.x == -1 && point.y == -1) {
    // From the keyboard: under the current cell.
    RECT cell;
    if (!GetSubItemRect(m_editor.Row(), m_editor.Column(), LVIR_LABEL, cell)) cell = RECT{};
    const QPoint at = View()->viewport()->mapToGlobal(QPoint(cell.left, cell.bottom - View()->HeaderHeight()));
    point = CPoint(at.x(), at.y());
  }
  m_menu.TrackPopupMenu(0, point.x, point.y, this);
}

BOOL CCustListCtrl::OnCommand(WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case kEditCommand: m_editor.BeginEditCurrent(); return TRUE;
    case kAddCommand: AddRow(); return TRUE;
    case kDeleteCommand: DeleteRecordFromMenu(); return TRUE;
    default: return CListCtrl::OnCommand(wParam, lParam);
  }
}

void CCustListCtrl::OnSetFocus(CWnd* oldWindow) {
  CListCtrl::OnSetFocus(oldWindow);
  if (!m_editor.IsCaretActive()) return;
  m_editor.CreateEditorCaret();
  m_editor.Caret().SetCaretPos(m_editor.CaretPoint().x, m_editor.CaretPoint().y);
  m_editor.Caret().ShowCaret();
}

void CCustListCtrl::OnKillFocus(CWnd* newWindow) {
  CListCtrl::OnKillFocus(newWindow);
  if (!m_editor.IsCaretActive()) return;
  m_editor.SetCaretPoint(m_editor.Caret().GetCaretPos());
  m_editor.Caret().DestroyCaret();
}

void CCustListCtrl::OnVScroll(UINT code, UINT position, CWnd* scrollBar) {
  if (m_editor.IsCaretActive()) return;  // the bar does not move the edited cell away
  CListCtrl::OnVScroll(code, position, scrollBar);
  RedrawItems(m_editor.Row(), m_editor.Row());
}

UINT CCustListCtrl::OnGetDlgCode() {
  return m_editor.IsCaretActive() ? DLGC_WANTALLKEYS : CListCtrl::OnGetDlgCode();
}
