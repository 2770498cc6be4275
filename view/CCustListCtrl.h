// The result list: a report list that draws its own rows and, when editing
// is enabled, becomes a grid with a current cell, the in-place cell editor,
// a row menu and keys to edit, add and delete rows. The changes are written
// to the viewer's rowset as they are committed.
//
// What the viewer gives it: SetEditingEnabled before the control is
// attached, then SetRowset (and SetMaxChars). Rows are found again in the
// rowset by bookmark; the viewer may hand over each row's bookmark as it
// loads (SetRowBookmarks with the list row the batch went to, or
// RememberBookmarks with the batch's row handles before releasing them).
// Bookmarks it did not hand over are read by position
// (IRowsetLocate::GetRowsAt) before the grid's first write. A rowset without
// bookmarks is read again up to the row's position. The writer changes a
// row only while it holds what the grid shows.
//
// While the viewer's loader still adds rows (SetRowsLoading), nothing is
// written: a write would move the cursor the loader reads with, and the
// rows still to come could not be matched with the list.
//
// A changed cell or a pending new row is never left silently: a click on
// another cell, Insert, a heading click, Tab out of the last column and
// closing the viewer (CommitPendingEdit) write it as Enter does, and stay
// in the cell with the typed text when the write fails.
#pragma once

#include <string>
#include <vector>

#include "CCellEditor.h"
#include "CListCtrl.h"
#include "CMenu.h"
#include "CRowsetWriter.h"
#include "RowBookmarks.h"
#include "oledb.h"

class CCustListCtrl : public CListCtrl {
 public:
  static constexpr UINT kEditCommand = 1001;
  static constexpr UINT kAddCommand = 1002;
  static constexpr UINT kDeleteCommand = 1003;

  CCustListCtrl();
  ~CCustListCtrl() override;

  // Read when the control is attached; set it before.
  void SetEditingEnabled(BOOL enabled) { m_bEditingEnabled = enabled; }
  BOOL IsEditingEnabled() const { return m_bEditingEnabled; }
  // The viewer's rowset, borrowed (no reference is added or released), and
  // its count of hidden leading columns. Forgets the bookmarks kept so far.
  void SetRowset(IRowset* rowset, int hiddenColumns);
  IRowset* GetRowset() const { return m_pRowset; }
  int GetHiddenColumns() const { return m_nHiddenColumns; }
  void SetMaxChars(int maxChars) { m_nMaxChars = maxChars; }
  int GetMaxChars() const { return m_nMaxChars; }

  BOOL SetRowBookmark(int row, const BYTE* bookmark, DBBKMARK size);
  // The bookmarks of rows that went to list rows [firstRow, ...).
  void SetRowBookmarks(int firstRow, const RowBookmarks& bookmarks);
  // Reads the bookmarks of `count` held rows shown from list row firstRow
  // on; call it while the handles are held.
  HRESULT RememberBookmarks(int firstRow, DBCOUNTITEM count, const HROW* rows);
  std::string GetRowBookmark(int row) const;

  // Rows the viewer adds while the grid has a new row or a current row at
  // or after `item` (a load still running): those rows move down, with
  // their bookmarks. Hides the base's, which the viewer reaches through
  // this class.
  int InsertItems(int item, int rowCount, int columns, const char* const* texts);
  using CListCtrl::InsertItems;

  // Set by the viewer while its loader adds rows: writes are refused then.
  void SetRowsLoading(bool loading) { m_bRowsLoading = loading; }
  // Writes a changed cell or a pending new row as Enter does. True when
  // nothing is left unwritten; false when the write failed or was refused
  // (the caret then stays in the cell with the typed text).
  bool CommitPendingEdit();
  bool HasUnsavedEdit() const;
  const RowBookmarks& Bookmarks() const { return m_bookmarks; }

  CCellEditor& Editor() { return m_editor; }
  CMenu& RowMenu() { return m_menu; }

  BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

 protected:
  void PreSubclassWindow() override;
  void DrawItem(LPDRAWITEMSTRUCT draw) override;
  BOOL OnNotifyReflect(NMHDR* header, LRESULT* result) override;
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
  void OnChar(UINT ch, UINT repeat, UINT flags) override;
  void OnLButtonDown(UINT flags, CPoint point) override;
  void OnLButtonDblClk(UINT flags, CPoint point) override;
  void OnRButtonDown(UINT flags, CPoint point) override;
  void OnContextMenu(CWnd* window, CPoint point) override;
  void OnSetFocus(CWnd* oldWindow) override;
  void OnKillFocus(CWnd* newWindow) override;
  void OnVScroll(UINT code, UINT position, CWnd* scrollBar) override;
  UINT OnGetDlgCode() override;

 private:
  void DrawCellText(CDC* dc, const char* text, const RECT& cell, int format);
  BOOL SelectCell(UINT flags, CPoint point, bool rightButton);
  bool CommitRow();
  bool RefusedWhileLoading() const;
  bool IsLastColumn(int column) const;
  void AddRow();
  void DeleteRow();
  void DeleteRecordFromMenu();
  void CancelEdit();
  bool Editing() const { return m_bEditingEnabled && m_editor.GetWindow() != nullptr; }

  // Writing to the data source.
  HWND Owner() const;
  std::vector<std::string> RowTexts(int row) const;
  void StoreTexts(int row, const std::vector<std::string>& texts);
  std::string BookmarkFor(int row);
  CRowsetWriter::RowKey KeyOf(int row);
  void FillBookmarksByPosition();
  bool WriteUpdate(int row);
  bool WriteInsert(int row);
  bool WriteDelete(int row);

  CCellEditor m_editor;
  CMenu m_menu;
  BOOL m_bEditingEnabled = FALSE;
  IRowset* m_pRowset = nullptr;
  int m_nHiddenColumns = 0;
  int m_nMaxChars = 20;
  // The bookmark of each list row whose bookmark is known.
  RowBookmarks m_bookmarks;
  bool m_bRowsLoading = false;
  // Once the grid has added or removed rows, list rows no longer match
  // rowset positions.
  bool m_bRowsMoved = false;
  std::vector<std::string> m_stored;
};
