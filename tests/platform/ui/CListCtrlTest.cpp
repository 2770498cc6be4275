#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QThread>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CListCtrl.h"
#include "UiFramework.h"

namespace {

constexpr DWORD kViewerStyle = LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | WS_VISIBLE;

struct Drawn {
  int item;
  UINT state;
};

// A list that records what it is asked to draw and which notifications
// reach it, and can keep some from its owner as the grid does.
class RecordingList : public CListCtrl {
 public:
  std::vector<Drawn> drawn;
  std::vector<UINT> reflected;
  UINT keepFromOwner = 0;
  bool refuseVScroll = false;
  UINT dialogCode = DLGC_WANTARROWS | DLGC_WANTCHARS;
  std::vector<UINT> keys;
  std::vector<bool> shifted;
  std::string chars;

 protected:
  void DrawItem(LPDRAWITEMSTRUCT draw) override {
    drawn.push_back({static_cast<int>(draw->itemID), draw->itemState});
    CListCtrl::DrawItem(draw);
  }
  BOOL OnNotifyReflect(NMHDR* header, LRESULT* result) override {
    reflected.push_back(header->code);
    if (header->code != keepFromOwner) return FALSE;
    *result = 1;
    return TRUE;
  }
  void OnVScroll(UINT code, UINT position, CWnd* bar) override {
    if (!refuseVScroll) CListCtrl::OnVScroll(code, position, bar);
  }
  UINT OnGetDlgCode() override { return dialogCode; }
  void OnKeyDown(UINT key, UINT repeat, UINT flags) override {
    keys.push_back(key);
    shifted.push_back(GetKeyState(VK_SHIFT) < 0);
    CListCtrl::OnKeyDown(key, repeat, flags);
  }
  void OnChar(UINT ch, UINT, UINT) override { chars += static_cast<char>(ch); }
  void OnContextMenu(CWnd* window, CPoint point) override {
    menuWindow = window;
    menuPoints.push_back(point);
  }

 public:
  CWnd* menuWindow = nullptr;
  std::vector<CPoint> menuPoints;
};

class ListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(list.Create(kViewerStyle, RECT{0, 0, 320, 240}, static_cast<QWidget*>(nullptr), 1000));
    view = list.View();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "Amount", LVCFMT_RIGHT, 80);
    list.InsertColumn(2, "Note", LVCFMT_LEFT, 200);
  }

  void AddRows(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "row " + std::to_string(i);
      const std::string amount = std::to_string(i * 10);
      const char* cells[] = {name.c_str(), amount.c_str(), "note"};
      list.InsertItems(-1, 1, 3, cells);
    }
  }

  // Clicks the centre of a row's first cell in viewport coordinates.
  QPoint RowPoint(int item, int subItem = 0) const {
    RECT r;
    list.GetSubItemRect(item, subItem, LVIR_LABEL, r);
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2 - view->HeaderHeight());
  }

  // Each notification code comes with its own record.
  template <class Notification>
  void Record(std::vector<Notification>& into, UINT code) {
    list.SetNotifyHandler(code, [&into](NMHDR* header, LRESULT*) {
      into.push_back(*reinterpret_cast<Notification*>(header));
      return TRUE;
    });
  }

  RecordingList list;
  ReportListView* view = nullptr;
};

// ---- cells -----------------------------------------------------------------

TEST_F(ListTest, CellsKeepTheirWholeTextAndAReadStopsAt255Characters) {
  const std::string longText(300, 'x');
  ASSERT_EQ(list.InsertItem(0, longText.c_str()), 0);
  ASSERT_TRUE(list.SetItemText(0, 2, longText.c_str()));
  char buffer[256];
  EXPECT_EQ(list.GetItemText(0, 0, buffer, sizeof buffer), 255);
  EXPECT_EQ(std::string(buffer), longText.substr(0, 255));
  EXPECT_EQ(list.GetItemText(0, 2).GetLength(), 300);

  LVITEM item;
  item.mask = LVIF_TEXT;
  item.iItem = 0;
  item.iSubItem = 2;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  ASSERT_TRUE(list.GetItem(&item));
  EXPECT_EQ(std::strlen(buffer), 255u);

  // A read never ends inside a character.
  const std::string accented = std::string(254, 'a') + "\xC3\xA9";
  list.SetItemText(0, 1, accented.c_str());
  EXPECT_EQ(list.GetItemText(0, 1, buffer, sizeof buffer), 254);
  EXPECT_EQ(list.GetItemText(0, 1), CString(accented));
  item.iSubItem = 1;
  item.cchTextMax = 256;
  ASSERT_TRUE(list.GetItem(&item));
  EXPECT_EQ(std::strlen(buffer), 254u);
}

TEST_F(ListTest, ItemsInsertSetAndDeleteLikeTheListView) {
  LVITEM item;
  item.mask = LVIF_TEXT;
  item.iItem = 0;
  item.pszText = const_cast<LPSTR>("first");
  EXPECT_EQ(list.InsertItem(&item), 0);
  item.iItem = 99;  // past the end appends
  item.pszText = const_cast<LPSTR>("last");
  EXPECT_EQ(list.InsertItem(&item), 1);
  item.iItem = 1;
  item.pszText = const_cast<LPSTR>("middle");
  EXPECT_EQ(list.InsertItem(&item), 1);
  item.iSubItem = 1;
  item.pszText = const_cast<LPSTR>("12.5");
  EXPECT_TRUE(list.SetItem(&item));
  EXPECT_EQ(list.GetItemText(1, 1), CString("12.5"));
  EXPECT_EQ(list.GetItemText(2, 0), CString("last"));

  item.iSubItem = 3;  // no such column
  EXPECT_FALSE(list.SetItem(&item));
  item.iSubItem = 0;
  item.mask = LVIF_TEXT | LVIF_PARAM;  // item data is not kept here
  EXPECT_FALSE(list.SetItem(&item));
  item.mask = LVIF_TEXT;
  item.iSubItem = 1;
  EXPECT_EQ(list.InsertItem(&item), -1);  // insertion names the item, not a sub-item
  item.iSubItem = 0;
  item.pszText = LPSTR_TEXTCALLBACKA;
  EXPECT_EQ(list.InsertItem(&item), -1);

  EXPECT_TRUE(list.DeleteItem(0));
  EXPECT_FALSE(list.DeleteItem(5));
  EXPECT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetItemText(0, 0), CString("middle"));
  EXPECT_TRUE(list.DeleteAllItems());
  EXPECT_EQ(list.GetItemCount(), 0);
  char buffer[8];
  EXPECT_EQ(list.GetItemText(0, 0, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
}

TEST_F(ListTest, ColumnsCarryFormatWidthAndHeadingAndMoveTheirCells) {
  EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 3);
  char heading[256];
  LVCOLUMN column;
  column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
  column.pszText = heading;
  column.cchTextMax = sizeof heading;
  ASSERT_TRUE(list.GetColumn(1, &column));
  EXPECT_EQ(column.fmt, LVCFMT_RIGHT);
  EXPECT_EQ(column.cx, 80);
  EXPECT_STREQ(heading, "Amount");
  EXPECT_FALSE(list.GetColumn(3, &column));
  // Nor does a heading's copy end inside a character.
  column.mask = LVCF_TEXT;
  column.pszText = const_cast<LPSTR>("Betr\xC3\xA4ge");
  ASSERT_TRUE(list.SetColumn(1, &column));
  column.pszText = heading;
  column.cchTextMax = 6;
  ASSERT_TRUE(list.GetColumn(1, &column));
  EXPECT_STREQ(heading, "Betr");

  AddRows(2);
  ASSERT_EQ(list.InsertColumn(1, "Inserted", LVCFMT_CENTER, 50), 1);
  EXPECT_EQ(list.GetItemText(1, 0), CString("row 1"));
  EXPECT_EQ(list.GetItemText(1, 1), CString(""));
  EXPECT_EQ(list.GetItemText(1, 2), CString("10"));
  EXPECT_TRUE(list.DeleteColumn(1));
  EXPECT_EQ(list.GetItemText(1, 1), CString("10"));
  EXPECT_EQ(list.GetHeaderCtrl()->GetItemCount(), 3);
  EXPECT_TRUE(list.SetColumnWidth(0, 120));
  EXPECT_EQ(list.GetColumnWidth(0), 120);
  EXPECT_EQ(view->Header()->sectionSize(0), 120);
}

TEST_F(ListTest, FindingAndMessagesReachTheSameItems) {
  AddRows(3);
  LVFINDINFO find;
  find.flags = LVFI_STRING;
  find.psz = "ROW 1";  // whole text, any case
  EXPECT_EQ(list.FindItem(&find), 1);
  EXPECT_EQ(list.FindItem(&find, 1), -1);
  find.psz = "row";
  EXPECT_EQ(list.FindItem(&find), -1);
  find.flags = LVFI_STRING | LVFI_PARTIAL;
  EXPECT_EQ(list.FindItem(&find, 0), 1);

  char buffer[256];
  LVITEM item;
  item.iSubItem = 1;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  EXPECT_EQ(list.SendMessage(LVM_GETITEMTEXT, 2, reinterpret_cast<LPARAM>(&item)), 2);
  EXPECT_STREQ(buffer, "20");
  item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  EXPECT_TRUE(list.SendMessage(LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item)));
  EXPECT_EQ(list.SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 2);
  EXPECT_EQ(list.SendMessage(LVM_GETCOLUMNWIDTH, 2), 200);
  EXPECT_EQ(list.SendMessage(LVM_GETITEMCOUNT), 3);
  EXPECT_TRUE(list.SendMessage(LVM_DELETEALLITEMS));
  EXPECT_EQ(list.GetItemCount(), 0);
}

// ---- geometry --------------------------------------------------------------

TEST_F(ListTest, RectanglesFollowHorizontalScrollingAndTheHeader) {
  AddRows(5);
  RECT bounds;
  ASSERT_TRUE(list.GetItemRect(2, &bounds, LVIR_BOUNDS));
  const int rowHeight = view->RowHeight();
  EXPECT_EQ(view->HeaderHeight(), rowHeight + 3);
  EXPECT_EQ(bounds.top, view->HeaderHeight() + 2 * rowHeight);
  EXPECT_EQ(bounds.bottom - bounds.top, rowHeight);
  EXPECT_EQ(bounds.left, 0);
  EXPECT_EQ(bounds.right, 380);

  ASSERT_TRUE(list.Scroll(CSize(30, 0)));
  EXPECT_EQ(list.GetScrollPos(SB_HORZ), 30);
  ASSERT_TRUE(list.GetItemRect(2, &bounds, LVIR_BOUNDS));
  EXPECT_EQ(bounds.left, -30);
  RECT cell;
  ASSERT_TRUE(list.GetSubItemRect(2, 1, LVIR_BOUNDS, cell));
  EXPECT_EQ(cell.left, 100 - 30);
  EXPECT_EQ(cell.right, 180 - 30);
  ASSERT_TRUE(list.GetSubItemRect(2, 0, LVIR_BOUNDS, cell));
  EXPECT_EQ(cell.right, 380 - 30);  // sub-item 0's bounds are the row's
  EXPECT_EQ(view->Header()->offset(), 30);

  LVHITTESTINFO hit;
  hit.pt = POINT{cell.left + 100 + 5, bounds.top + 1};  // just inside column 1
  EXPECT_EQ(list.SubItemHitTest(&hit), 2);
  EXPECT_EQ(hit.iSubItem, 1);
  hit.pt = POINT{5, view->HeaderHeight() + 5 * rowHeight + 1};  // below the last row
  EXPECT_EQ(list.HitTest(&hit), -1);
  EXPECT_EQ(hit.flags, LVHT_NOWHERE);
  EXPECT_FALSE(list.GetItemRect(5, &bounds, LVIR_BOUNDS));
  EXPECT_GT(list.GetStringWidth("wide heading"), list.GetStringWidth("w"));
}

TEST_F(ListTest, TopIndexCountPerPageAndEnsureVisible) {
  AddRows(100);
  list.FlushPendingRepaint();
  RECT client;
  list.GetClientRect(&client);
  const int perPage = (client.bottom - view->HeaderHeight()) / view->RowHeight();
  EXPECT_EQ(list.GetCountPerPage(), perPage);
  EXPECT_EQ(list.GetTopIndex(), 0);

  EXPECT_TRUE(list.EnsureVisible(50, FALSE));
  EXPECT_EQ(list.GetTopIndex(), 50 - perPage + 1);
  EXPECT_EQ(list.GetScrollPos(SB_VERT), list.GetTopIndex());
  EXPECT_TRUE(list.EnsureVisible(10, FALSE));
  EXPECT_EQ(list.GetTopIndex(), 10);
  EXPECT_TRUE(list.EnsureVisible(12, FALSE));  // already shown: no move
  EXPECT_EQ(list.GetTopIndex(), 10);
  EXPECT_TRUE(list.Scroll(CSize(0, 3 * view->RowHeight())));
  EXPECT_EQ(list.GetTopIndex(), 13);
  RECT bounds;
  list.GetItemRect(13, &bounds, LVIR_BOUNDS);
  EXPECT_EQ(bounds.top, view->HeaderHeight());
  EXPECT_TRUE(list.EnsureVisible(99, FALSE));
  EXPECT_EQ(list.GetTopIndex(), 100 - perPage);
  EXPECT_FALSE(list.EnsureVisible(100, FALSE));

  // Emptying the list returns it to its origin, so a reload can scroll
  // back by the distance it saved.
  list.Scroll(CSize(40, 0));
  const int saved = list.GetScrollPos(SB_HORZ);
  list.DeleteAllItems();
  EXPECT_EQ(list.GetTopIndex(), 0);
  EXPECT_EQ(list.GetScrollPos(SB_HORZ), 0);
  AddRows(100);
  list.Scroll(CSize(saved, 0));
  EXPECT_EQ(list.GetScrollPos(SB_HORZ), saved);
}

TEST_F(ListTest, VerticalScrollingCanBeRefusedByTheHook) {
  AddRows(100);
  list.FlushPendingRepaint();
  list.refuseVScroll = true;
  view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(list.GetTopIndex(), 0);
  list.refuseVScroll = false;
  view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(list.GetTopIndex(), 1);
}

// ---- selection and notifications ------------------------------------------

TEST_F(ListTest, SingleSelectionStatesAndItemChangedNotifications) {
  AddRows(4);
  std::vector<NMLISTVIEW> changes;
  list.SetNotifyHandler(LVN_ITEMCHANGED, [&changes](NMHDR* header, LRESULT*) {
    changes.push_back(*reinterpret_cast<NMLISTVIEW*>(header));
    return TRUE;
  });
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
  list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  list.SetItemState(2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED | LVIS_FOCUSED), 0u);
  EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED | LVIS_FOCUSED), LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
  EXPECT_EQ(list.GetNextItem(2, LVNI_SELECTED), -1);
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  ASSERT_EQ(changes.size(), 4u);  // 1 on; 1 loses focus, then selection; 2 on
  EXPECT_EQ(changes[0].iItem, 1);
  EXPECT_EQ(changes[0].uNewState, LVIS_SELECTED | LVIS_FOCUSED);
  EXPECT_EQ(changes[3].iItem, 2);
  EXPECT_EQ(changes[3].uOldState, 0u);
  EXPECT_EQ(changes[3].hdr.idFrom, 1000u);

  // Deleting rows above moves the states with their rows.
  list.DeleteItem(0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
  EXPECT_FALSE(list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED));  // one selected item at most
  EXPECT_EQ(list.GetSelectedCount(), 1u);
  EXPECT_TRUE(list.SetItemState(-1, 0, LVIS_SELECTED));
  EXPECT_EQ(list.GetSelectedCount(), 0u);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 1);
}

TEST_F(ListTest, MouseClicksNotifyTheOwnerAndTheControlMayKeepThem) {
  AddRows(5);
  list.FlushPendingRepaint();
  std::vector<NMITEMACTIVATE> clicks, doubles;
  std::vector<NMLISTVIEW> columns;
  Record(clicks, NM_CLICK);
  Record(doubles, NM_DBLCLK);
  Record(columns, LVN_COLUMNCLICK);

  QHeaderView* header = view->Header();
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                    QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
  ASSERT_EQ(columns.size(), 1u);
  EXPECT_EQ(columns[0].iSubItem, 1);
  EXPECT_EQ(columns[0].iItem, -1);

  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, RowPoint(3));
  ASSERT_EQ(clicks.size(), 1u);
  EXPECT_EQ(clicks[0].iItem, 3);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 3);
  EXPECT_EQ(list.GetSelectionMark(), 3);

  QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, RowPoint(2, 2));
  ASSERT_EQ(doubles.size(), 1u);
  EXPECT_EQ(doubles[0].iItem, 2);
  EXPECT_EQ(doubles[0].iSubItem, 2);

  // The control's own handler sees the heading click first and may keep it.
  list.keepFromOwner = LVN_COLUMNCLICK;
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(5, header->height() / 2));
  EXPECT_EQ(columns.size(), 1u);
  EXPECT_EQ(list.reflected.back(), LVN_COLUMNCLICK);

  // A click below the rows clears the selection.
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(5, view->viewport()->height() - 2));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), -1);
}

TEST_F(ListTest, KeysReachTheHooksAndTabOnlyWhenAllKeysAreWanted) {
  AddRows(10);
  view->setFocus();
  list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  QTest::keyClick(view, Qt::Key_Down);
  EXPECT_EQ(list.keys.back(), VK_DOWN);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);  // the default moves the selection
  QTest::keyClick(view, Qt::Key_End);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_FOCUSED), 9);
  QTest::keyClicks(view, "ab");
  EXPECT_EQ(list.chars, "ab");

  list.keys.clear();
  list.shifted.clear();
  QTest::keyClick(view, Qt::Key_Escape);  // the dialog's key
  EXPECT_TRUE(list.keys.empty());
  list.dialogCode = DLGC_WANTALLKEYS;
  QTest::keyClick(view, Qt::Key_Tab);
  QTest::keyClick(view, Qt::Key_Escape);
  QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
  // Shift+Tab arrives as the Shift key, then Tab with Shift held.
  EXPECT_EQ(list.keys, (std::vector<UINT>{VK_TAB, VK_ESCAPE, VK_SHIFT, VK_TAB}));
  EXPECT_EQ(list.shifted, (std::vector<bool>{false, false, true, true}));
  EXPECT_EQ(list.chars, std::string("ab\t\x1b\t"));
}

TEST_F(ListTest, RightClickSelectsTheRowAndTheMenuGetsTheScreenPosition) {
  AddRows(5);
  list.FlushPendingRepaint();
  QTest::mouseClick(view->viewport(), Qt::RightButton, {}, RowPoint(4));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);

  const QPoint at = RowPoint(2);
  QContextMenuEvent byMouse(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
  QApplication::sendEvent(view->viewport(), &byMouse);
  QContextMenuEvent byKeyboard(QContextMenuEvent::Keyboard, QPoint(0, 0), view->viewport()->mapToGlobal(QPoint(0, 0)));
  QApplication::sendEvent(view->viewport(), &byKeyboard);
  ASSERT_EQ(list.menuPoints.size(), 2u);
  EXPECT_EQ(list.menuWindow, &list);
  const QPoint screen = view->viewport()->mapToGlobal(at);
  EXPECT_EQ(list.menuPoints[0], CPoint(screen.x(), screen.y()));
  EXPECT_EQ(list.menuPoints[1], CPoint(-1, -1));
}

TEST_F(ListTest, MessagesFromAnotherThreadRunOnTheListsThreadWhileTheSenderWaits) {
  std::atomic<bool> done = false;
  std::vector<bool> onListThread;
  std::thread loader([&] {
    for (int row = 0; row < 50; ++row) {
      const std::string text = "loaded " + std::to_string(row);
      LVITEM item;
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.pszText = const_cast<LPSTR>(text.c_str());
      list.SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item));
    }
    const char* batch[] = {"a", "b", "c", "d"};
    list.CallOnListThread([&] {
      onListThread.push_back(QThread::currentThread() == view->thread());
      list.InsertItems(-1, 2, 2, batch);
    });
    done = true;
  });
  while (!done) QApplication::processEvents(QEventLoop::AllEvents, 10);
  loader.join();
  EXPECT_EQ(list.GetItemCount(), 52);
  EXPECT_EQ(list.GetItemText(49, 0), CString("loaded 49"));
  EXPECT_EQ(list.GetItemText(51, 1), CString("d"));
  EXPECT_EQ(onListThread, std::vector<bool>{true});
}

// ---- painting --------------------------------------------------------------

TEST_F(ListTest, OnlyVisibleRowsAreDrawnWithTheirSelectionAndFocus) {
  AddRows(1000);
  list.EnsureVisible(500, FALSE);
  list.SetItemState(500, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  view->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(view));
  view->setFocus();
  ASSERT_TRUE(view->hasFocus());
  list.drawn.clear();
  list.UpdateWindow();
  const int top = list.GetTopIndex();
  const int perPage = list.GetCountPerPage();
  ASSERT_FALSE(list.drawn.empty());
  EXPECT_EQ(list.drawn.front().item, top);
  EXPECT_LE(static_cast<int>(list.drawn.size()), perPage + 1);
  EXPECT_GE(static_cast<int>(list.drawn.size()), perPage);
  for (const Drawn& d : list.drawn) {
    if (d.item == 500) {
      EXPECT_TRUE(d.state & ODS_SELECTED);
      EXPECT_TRUE(d.state & ODS_FOCUS);
    } else {
      EXPECT_EQ(d.state & (ODS_SELECTED | ODS_FOCUS), 0u);
    }
  }
}

TEST_F(ListTest, RedrawOffStopsPaintingAndRepaintsAreCoalesced) {
  list.SetRedraw(FALSE);
  const int before = view->PaintCount();
  AddRows(200);
  list.UpdateWindow();
  QApplication::processEvents();
  EXPECT_EQ(view->PaintCount(), before);
  EXPECT_EQ(list.GetItemCount(), 200);
  list.SetRedraw(TRUE);
  list.UpdateWindow();
  EXPECT_GT(view->PaintCount(), before);

  // Rows arriving in many small batches repaint at most every interval.
  QElapsedTimer clock;
  clock.start();
  const int start = view->PaintCount();
  for (int batch = 0; batch < 300; ++batch) {
    AddRows(20);
    QApplication::processEvents();
  }
  const qint64 elapsed = clock.elapsed();
  EXPECT_EQ(list.GetItemCount(), 200 + 300 * 20);
  EXPECT_LE(view->PaintCount() - start, elapsed / ReportListView::kRepaintIntervalMs + 2);
  list.FlushPendingRepaint();
  EXPECT_FALSE(view->RepaintPending());
}

TEST_F(ListTest, HundredThousandRowsStayCompact) {
  constexpr int kRows = 100000;
  constexpr int kBatch = 20;
  std::vector<std::string> texts(kBatch * 3);
  std::vector<const char*> cells(kBatch * 3);
  for (int row = 0; row < kRows; row += kBatch) {
    for (int i = 0; i < kBatch; ++i) {
      texts[i * 3] = "name " + std::to_string(row + i);
      texts[i * 3 + 1] = std::to_string((row + i) * 7);
      texts[i * 3 + 2] = "a note of some length";
    }
    for (size_t i = 0; i < texts.size(); ++i) cells[i] = texts[i].c_str();
    ASSERT_EQ(list.InsertItems(-1, kBatch, 3, cells.data()), row);
  }
  EXPECT_EQ(list.GetItemCount(), kRows);
  EXPECT_EQ(list.GetItemText(76543, 0), CString("name 76543"));
  EXPECT_EQ(list.GetItemText(76543, 1), CString(std::to_string(76543 * 7)));
  const ReportListMemory memory = list.GetMemoryUsage();
  EXPECT_EQ(memory.cells, size_t{kRows} * 3);
  EXPECT_LT(static_cast<double>(memory.overheadBytes) / memory.cells, 16.0);

  // Edits store the new text and keep the rest readable.
  list.SetItemText(5, 2, "changed");
  EXPECT_EQ(list.GetItemText(5, 2), CString("changed"));
  EXPECT_EQ(list.GetItemText(6, 2), CString("a note of some length"));
}

// ---- dialogs ---------------------------------------------------------------

class ListDialog : public CDialog {
 public:
  explicit ListDialog(DialogTemplate t) : CDialog(std::move(t)) {}
  void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 1000, m_list); }
  CListCtrl m_list;
};

TEST(ListInDialogTest, TemplateListViewsBecomeReportLists) {
  CListCtrl::RegisterListViewFactory();
  DialogTemplate t;
  t.id = 0;
  t.caption = "Viewer";
  t.cx = 200;
  t.cy = 120;
  t.controls = {{1000, ControlKind::ListView, "List1", LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP, 4, 4, 150, 100}};
  ListDialog dialog(t);
  ASSERT_TRUE(dialog.Create());
  ASSERT_NE(dialog.m_list.View(), nullptr);
  EXPECT_TRUE(dialog.m_list.GetStyle() & LVS_SINGLESEL);
  EXPECT_EQ(dialog.m_list.InsertColumn(0, "Table Name", LVCFMT_LEFT, 130), 0);
  EXPECT_EQ(dialog.m_list.InsertItem(0, "Orders"), 0);
  EXPECT_EQ(dialog.m_list.GetItemText(0, 0), CString("Orders"));
  dialog.DestroyWindow();
}

// ---- device context --------------------------------------------------------

TEST(DeviceContextTest, TextAlignsInsideItsRectangleWithEllipsisAndPrefixes) {
  QImage image(200, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  CDC dc(&painter);
  dc.SetTextColor(RGB(0, 0, 0));
  RECT measured{0, 0, 0, 0};
  dc.DrawText("AB", -1, &measured, DT_SINGLELINE | DT_CALCRECT);
  RECT prefixed{0, 0, 0, 0};
  dc.DrawText("A&B", -1, &prefixed, DT_SINGLELINE | DT_CALCRECT);
  EXPECT_EQ(prefixed.right, measured.right);  // the mark is not drawn
  RECT literal{0, 0, 0, 0};
  dc.DrawText("A&B", -1, &literal, DT_SINGLELINE | DT_CALCRECT | DT_NOPREFIX);
  EXPECT_GT(literal.right, measured.right);

  RECT right{100, 0, 150, 20};
  dc.DrawText("88", -1, &right, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
  RECT narrow{0, 0, 40, 20};
  dc.DrawText("a long text that cannot fit", -1, &narrow, DT_SINGLELINE | DT_VCENTER | DT_NOCLIP | DT_END_ELLIPSIS);
  painter.end();
  auto inkBetween = [&image](int from, int to) {
    for (int x = from; x < to; ++x)
      for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) != QColor(Qt::white)) return true;
    return false;
  };
  EXPECT_TRUE(inkBetween(140, 150));    // right-aligned text ends at the right edge
  EXPECT_FALSE(inkBetween(100, 120));
  EXPECT_FALSE(inkBetween(150, 200));
  EXPECT_TRUE(inkBetween(0, 40));
  EXPECT_FALSE(inkBetween(41, 100));    // the ellipsis keeps it inside
}

TEST(DeviceContextTest, LinesStopBeforeTheirEndAndFramesLieInside) {
  QImage image(40, 20, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    CDC dc(&painter);
    CPen grey(PS_SOLID, 0, RGB(192, 192, 192));
    CPen* old = dc.SelectObject(&grey);
    dc.MoveTo(0, 0);
    dc.LineTo(10, 0);  // the end point stays undrawn
    dc.SelectObject(old);
    CBrush black(RGB(0, 0, 0));
    const RECT frame{20, 5, 30, 15};
    dc.FrameRect(&frame, &black);
    CDC attached;
    attached.Attach(dc.GetSafeHdc());
    attached.SetTextColor(RGB(1, 2, 3));
    EXPECT_EQ(dc.GetTextColor(), RGB(1, 2, 3));  // one drawing state
    attached.Detach();
  }
  EXPECT_EQ(image.pixelColor(9, 0), QColor(192, 192, 192));
  EXPECT_EQ(image.pixelColor(10, 0), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(20, 5), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(29, 14), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(30, 15), QColor(Qt::white));
  EXPECT_EQ(image.pixelColor(25, 10), QColor(Qt::white));
}

}  // namespace
