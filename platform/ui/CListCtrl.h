// The list control in report view, shaped like the original framework's
// class: columns, items of text, states, geometry and owner drawing over a
// ReportListView widget. A derived class changes behaviour by overriding
// the protected hooks (DrawItem, OnKeyDown, OnLButtonDown, ...); each hook's
// base version is the list view's own handling, so an override calls it
// where the message would be passed on.
//
// Notifications go first to the control itself (OnNotifyReflect, which
// may keep them from the owner) and then to the owner's handler for that
// code (SetNotifyHandler).
#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "CDC.h"
#include "CHeaderCtrl.h"
#include "CWnd.h"
#include "InputDefs.h"
#include "ListViewDefs.h"
#include "ReportListView.h"

class CListCtrl : public CWnd {
 public:
  using NotifyHandler = ReportListView::NotifyHandler;

  CListCtrl();
  ~CListCtrl() override;

  // Creates a list widget of its own (dialogs make theirs from templates).
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
  BOOL Create(DWORD style, const RECT& rect, QWidget* parent, UINT id);
  // Null until attached to a list widget.
  ReportListView* View() const;
  // Makes dialog templates' list-view controls report lists. Done once
  // automatically when the program starts; callable again after a test
  // replaced the factory.
  static void RegisterListViewFactory();

  DWORD GetStyle() const;
  BOOL ModifyStyle(DWORD remove, DWORD add);
  DWORD GetExtendedStyle() const;
  DWORD SetExtendedStyle(DWORD exStyle);  // returns the previous styles
  CHeaderCtrl* GetHeaderCtrl();

  // Columns. Column n shows sub-item n.
  int InsertColumn(int column, const LVCOLUMN* info);
  int InsertColumn(int column, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  BOOL DeleteColumn(int column);
  BOOL GetColumn(int column, LVCOLUMN* info) const;
  BOOL SetColumn(int column, const LVCOLUMN* info);
  int GetColumnWidth(int column) const;
  BOOL SetColumnWidth(int column, int width);

  // Items. Each cell keeps its whole text.
  int GetItemCount() const;
  int InsertItem(const LVITEM* item);
  int InsertItem(int item, LPCSTR text);
  // Inserts rowCount rows at `item` (-1 or past the end: appends) in one
  // step; `texts` holds rowCount * columns cells row by row, null for an
  // empty cell. Returns the first new row's index, or -1.
  int InsertItems(int item, int rowCount, int columns, const char* const* texts);
  int InsertItems(int item, const std::vector<std::vector<std::string>>& rows);
  BOOL SetItem(const LVITEM* item);
  // LVIF_TEXT fills pszText up to cchTextMax - 1 bytes; LVIF_STATE fills
  // state under stateMask.
  BOOL GetItem(LVITEM* item) const;
  BOOL SetItemText(int item, int subItem, LPCSTR text);
  // Copies at most length - 1 bytes (never a partial character) and the
  // terminator; returns the bytes copied.
  int GetItemText(int item, int subItem, LPSTR buffer, int length) const;
  CString GetItemText(int item, int subItem) const;
  BOOL DeleteItem(int item);
  BOOL DeleteAllItems();
  int FindItem(const LVFINDINFO* find, int start = -1) const;

  // States (LVIS_SELECTED, LVIS_FOCUSED); item -1 means every item.
  UINT GetItemState(int item, UINT mask) const;
  BOOL SetItemState(int item, UINT state, UINT mask);
  BOOL SetItemState(int item, const LVITEM* state);
  int GetNextItem(int start, UINT flags) const;
  UINT GetSelectedCount() const;
  int GetSelectionMark() const;
  int SetSelectionMark(int item);

  // Geometry, in client coordinates (the header is at the top).
  void GetClientRect(LPRECT rect) const;
  BOOL GetItemRect(int item, LPRECT rect, UINT code) const;
  BOOL GetSubItemRect(int item, int subItem, int code, RECT& rect) const;
  int GetTopIndex() const;
  int GetCountPerPage() const;
  BOOL EnsureVisible(int item, BOOL partialOk);
  // Pixels across; rows down (dy in pixels, rounded to whole rows).
  BOOL Scroll(CSize size);
  // SB_HORZ: pixels scrolled across; SB_VERT: the top row.
  int GetScrollPos(int bar) const;
  int GetStringWidth(LPCSTR text) const;
  int HitTest(CPoint point, UINT* flags = nullptr) const;
  int HitTest(LVHITTESTINFO* info) const;
  int SubItemHitTest(LVHITTESTINFO* info) const;

  // Painting. With redraw off nothing is painted; turning it on repaints.
  void SetRedraw(BOOL redraw = TRUE);
  BOOL RedrawItems(int first, int last);
  void Invalidate(BOOL erase = TRUE);
  void UpdateWindow();
  // Repaints now what is waiting for the next coalesced repaint.
  void FlushPendingRepaint();

  // The list-view messages the application sends, for code that talks to
  // the list by message; an unknown message returns 0. From another thread
  // the message is carried out on the list's thread while the sender waits,
  // as a sent message is.
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Runs `call` on the list's thread: at once when already there, else
  // blocking the calling thread until it has run (one call may carry a
  // whole batch of rows). FALSE when there is no list widget, or it was
  // destroyed before the call could run; the call then does not run. This
  // object must outlive every thread that calls it.
  BOOL CallOnListThread(const std::function<void()>& call);

  void SetNotifyHandler(UINT code, NotifyHandler handler);
  ReportListMemory GetMemoryUsage() const;

 protected:
  friend class ReportListView;

  // Draws one row; the base draws the texts with selection and focus.
  virtual void DrawItem(LPDRAWITEMSTRUCT draw);
  // A notification of this control, before the owner sees it; TRUE keeps
  // it from the owner, with `result` as the answer.
  virtual BOOL OnNotifyReflect(NMHDR* header, LRESULT* result);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  // Each byte of the typed text; Backspace, Tab, Enter and Escape as 8, 9, 13, 27.
  virtual void OnChar(UINT ch, UINT repeat, UINT flags);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  // Screen position; (-1, -1) when opened from the keyboard.
  virtual void OnContextMenu(CWnd* window, CPoint point);
  virtual void OnSetFocus(CWnd* oldWindow);
  virtual void OnKillFocus(CWnd* newWindow);
  // Not calling the base refuses the scroll.
  virtual void OnVScroll(UINT code, UINT position, CWnd* scrollBar);
  // DLGC_WANTALLKEYS brings Tab, Enter and Escape to OnKeyDown.
  virtual UINT OnGetDlgCode();

 private:
  CHeaderCtrl m_header;
  bool m_ownsWidget = false;
};
