// The report list widget: a header over rows of text cells, drawn a row at
// a time through the owner's DrawItem, with the list view's selection,
// focus, geometry and notifications. Only the visible rows are drawn, rows
// have one height, the texts live in a compact arena, and repaints while
// rows keep arriving are held to a human rate (at most one every 50 ms)
// while the rows themselves are stored at once.
//
// Coordinates are the list's client coordinates: the header occupies the
// top of the client area and the first visible row starts below it.
#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ListViewDefs.h"
#include "ReportListModel.h"
#include "UiThreadCaller.h"

class CDC;
class CListCtrl;
class QHeaderView;
class QStandardItemModel;

class ReportListView : public QAbstractScrollArea {
 public:
  // Returns TRUE when it handled the notification; `result` is its answer.
  using NotifyHandler = std::function<BOOL(NMHDR* header, LRESULT* result)>;
  static constexpr int kRepaintIntervalMs = 50;

  explicit ReportListView(QWidget* parent = nullptr, DWORD style = LVS_REPORT);
  ~ReportListView() override;

  DWORD Style() const { return m_style; }
  void SetStyle(DWORD style);
  DWORD ExtendedStyle() const { return m_exStyle; }
  DWORD SetExtendedStyle(DWORD exStyle);
  QHeaderView* Header() const { return m_header; }

  // Columns.
  int ColumnCount() const { return static_cast<int>(m_columns.size()); }
  int InsertColumn(int at, const LVCOLUMN& column);
  BOOL DeleteColumn(int at);
  BOOL GetColumn(int at, LVCOLUMN* column) const;
  BOOL SetColumn(int at, const LVCOLUMN& column);
  int ColumnWidth(int at) const;
  BOOL SetColumnWidth(int at, int width);
  int ColumnLeft(int at) const;  // in content pixels, before scrolling
  int TotalColumnWidth() const;

  // Items.
  int ItemCount() const { return m_model.RowCount(); }
  int InsertItem(const LVITEM& item);
  int InsertItems(int at, int rowCount, int columns, const char* const* texts);
  BOOL SetItem(const LVITEM& item);
  BOOL GetItem(LVITEM* item) const;
  BOOL SetItemText(int item, int subItem, std::string_view text);
  std::string_view ItemText(int item, int subItem) const;
  BOOL DeleteItem(int item);
  BOOL DeleteAllItems();
  int FindItem(const LVFINDINFO& find, int start) const;

  // States and selection.
  UINT ItemState(int item, UINT mask) const;
  BOOL SetItemState(int item, UINT state, UINT mask);
  int NextItem(int start, UINT flags) const;
  int SelectedCount() const { return m_selectedCount; }
  int SelectionMark() const { return m_selectionMark; }
  int SetSelectionMark(int item);

  // Geometry, in client coordinates.
  int RowHeight() const { return m_rowHeight; }
  int HeaderHeight() const { return m_headerHeight; }
  void SetHeaderHeight(int height);
  RECT ClientRect() const;
  BOOL ItemRect(int item, int code, RECT* rect) const;
  BOOL SubItemRect(int item, int subItem, int code, RECT* rect) const;
  int TopIndex() const;
  int CountPerPage() const;
  BOOL EnsureVisible(int item, BOOL partialOk);
  BOOL Scroll(int dx, int dy);
  int ScrollPos(int bar) const;
  int StringWidth(std::string_view text) const;
  int HitTest(LVHITTESTINFO* info) const;
  int SubItemHitTest(LVHITTESTINFO* info) const;

  // Painting.
  void RedrawItems(int first, int last);
  // Marks the rows changed; the repaint follows within the interval.
  void ScheduleRepaint();
  // Brings the scroll bars up to date and repaints now.
  void FlushPendingRepaint();
  bool RepaintPending() const { return m_repaintPending; }
  int PaintCount() const { return m_paintCount; }

  // Notifications to the owner, by code; an empty handler removes one.
  void SetNotifyHandler(UINT code, NotifyHandler handler);
  LRESULT Notify(NMHDR& header);
  void NotifyItemChanged(int item, UINT oldState, UINT newState);

  // The list view's own handling, which the owner's hooks fall back to.
  void DefaultDrawItem(LPDRAWITEMSTRUCT draw);
  void DefaultKeyDown(UINT key, UINT flags);
  void DefaultLButtonDown(UINT flags, POINT point);
  void DefaultLButtonDblClk(UINT flags, POINT point);
  void DefaultRButtonDown(UINT flags, POINT point);
  void AllowVerticalScroll() { m_vscrollAllowed = true; }

  ReportListMemory Memory() const { return m_model.Memory(); }
  // Carries calls from other threads to this widget's thread.
  UiThreadCaller& Caller() { return m_caller; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  struct Column {
    std::string heading;
    int format = LVCFMT_LEFT;
    int width = 0;
  };

  CListCtrl* Owner() const;
  void ApplyColumnToHeader(int at);
  void UpdateMetrics();
  void UpdateGeometries();
  void SyncScrollBars();
  void OnVerticalAction(int action);
  void OnSectionResized(int logical, int newSize);
  void OnSectionClicked(int logical);
  void FitColumnToShownRows(int column);
  void DrawRow(CDC& dc, int row);
  bool WantsAllKeys() const;
  void SendChars(const QKeyEvent* event, UINT key);
  void MoveFocusTo(int item);
  void SelectOnly(int item);
  void DeselectAllBut(int item);
  void SelectRange(int from, int to);
  void ChangeState(int item, UINT newState);
  void ShiftIndexesForInsert(int at, int count);
  void ShiftIndexesForDelete(int at);
  int RowAt(int clientY) const;
  POINT ToClient(const QPoint& viewportPoint) const;
  NMITEMACTIVATE ActivationAt(UINT code, POINT point, UINT flags) const;

  ReportListModel m_model;
  std::vector<Column> m_columns;
  QHeaderView* m_header = nullptr;
  QStandardItemModel* m_headerModel = nullptr;
  DWORD m_style = LVS_REPORT;
  DWORD m_exStyle = 0;
  int m_rowHeight = 16;
  int m_headerHeight = 19;
  int m_fixedHeaderHeight = -1;
  int m_focused = -1;
  int m_selectionMark = -1;
  int m_selectedCount = 0;
  int m_lastSelected = -1;
  bool m_syncingHeader = false;
  bool m_vscrollAllowed = true;
  bool m_leftPressed = false;
  bool m_rightPressed = false;
  std::map<UINT, NotifyHandler> m_handlers;
  QTimer m_repaintTimer;
  QElapsedTimer m_sinceRepaint;
  bool m_repaintPending = false;
  int m_paintCount = 0;
  UiThreadCaller m_caller;
};
