// The result grid driven by keys and clicks on a list filled by hand (no
// data source): current cell moves, the editor's text and caret, row
// adding and deleting, the row menu and the drawing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTest>
#include <string>

#include "CCustListCtrl.h"
#include "MessageBoxRecorder.h"
#include "ShellServices.h"
#include "SysColors.h"

namespace {

constexpr DWORD kStyle = LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | WS_VISIBLE;

class BeepCounter {
 public:
  BeepCounter() {
    m_previous = SetMessageBeepHook([this](UINT) { ++count; });
  }
  ~BeepCounter() { SetMessageBeepHook(m_previous); }
  int count = 0;

 private:
  MessageBeepHook m_previous;
};

class Grid : public testing::Test {
 protected:
  void Open(bool editing, int rows, int height = 240) {
    list.SetEditingEnabled(editing);
    ASSERT_TRUE(list.Create(kStyle, RECT{0, 0, 360, height}, static_cast<QWidget*>(nullptr), 1000));
    view = list.View();
    view->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    list.InsertColumn(1, "Amount", LVCFMT_RIGHT, 80);
    list.InsertColumn(2, "Note", LVCFMT_LEFT, 120);
    for (int i = 0; i < rows; ++i) list.InsertItems(-1, {{"row " + std::to_string(i), std::to_string(i * 10), "note"}});
    list.UpdateWindow();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(view, key, modifiers);
    list.UpdateWindow();
  }
  void Type(const QString& text) {
    QTest::keyClicks(view, text);
    list.UpdateWindow();
  }
  // A click at a point of the list's client area (the header at the top).
  void Click(int x, int clientY, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(view->viewport(), button, {}, QPoint(x, clientY - view->HeaderHeight()));
    list.UpdateWindow();
  }
  int RowMiddle(int row) {
    RECT rect;
    list.GetItemRect(row, &rect, LVIR_BOUNDS);
    return (rect.top + rect.bottom) / 2;
  }
  std::string Cell(int row, int column) { return list.GetItemText(row, column).GetString(); }
  void ContextMenu() {
    const QPoint at(10, 10);
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &event);
  }
  CCellEditor& Editor() { return list.Editor(); }

  CCustListCtrl list;
  ReportListView* view = nullptr;
};

// ---- moving the current cell -------------------------------------------------------

TEST_F(Grid, AChangedCellMustBeCommittedOrCancelledBeforeTheKeyboardLeavesIt) {
  Open(true, 5);
  BeepCounter beeps;
  Key(Qt::Key_Down);
  Key(Qt::Key_F2);
  ASSERT_TRUE(Editor().IsCaretActive());
  Type("x");
  EXPECT_STREQ(Editor().Text(), "xrow 1");
  for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_PageUp}) Key(key);
  Key(Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(beeps.count, 6);
  EXPECT_EQ(Editor().Row(), 1);
  EXPECT_EQ(Editor().Column(), 0);
  // Inside the text the caret still moves; only leaving the cell beeps.
  Key(Qt::Key_Right);
  EXPECT_EQ(Editor().CaretPosition(), 2);
  Key(Qt::Key_End);
  EXPECT_EQ(Editor().CaretPosition(), 6);
  EXPECT_EQ(beeps.count, 6);
  Key(Qt::Key_Right);
  EXPECT_EQ(beeps.count, 7);
  EXPECT_EQ(Editor().Column(), 0);
  // Escape drops the change; then the caret may travel with the cell.
  Key(Qt::Key_Escape);
  EXPECT_FALSE(Editor().IsCaretActive());
  EXPECT_EQ(Cell(1, 0), "row 1");
  Key(Qt::Key_F2);
  Key(Qt::Key_Tab);
  EXPECT_EQ(Editor().Column(), 1);
  EXPECT_TRUE(Editor().IsCaretActive());
  EXPECT_EQ(Editor().CaretPosition(), 0);
  EXPECT_STREQ(Editor().Text(), "10");
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(Editor().Column(), 0);
  EXPECT_EQ(beeps.count, 7);
}

TEST_F(Grid, ArrowsStepThroughTheTextAndAcrossCellsButNotPastTheEdges) {
  Open(true, 3);
  Key(Qt::Key_F2);
  Key(Qt::Key_Left);  // first column, start of text: nowhere to go
  EXPECT_EQ(Editor().Column(), 0);
  Key(Qt::Key_End);
  Key(Qt::Key_Right);
  EXPECT_EQ(Editor().Column(), 1);
  Key(Qt::Key_Right);
  Key(Qt::Key_Right);  // "0" has one character
  EXPECT_EQ(Editor().Column(), 2);
  Key(Qt::Key_End);
  Key(Qt::Key_Right);
  EXPECT_EQ(Editor().Column(), 2);
  Key(Qt::Key_Home);
  Key(Qt::Key_Left);
  EXPECT_EQ(Editor().Column(), 1);
  EXPECT_TRUE(Editor().IsCaretActive());
}

TEST_F(Grid, PageDownAndPageUpFollowTheVisiblePage) {
  Open(true, 100);
  const int perPage = list.GetCountPerPage();
  ASSERT_GT(perPage, 3);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Editor().Row(), perPage - 1);
  EXPECT_EQ(list.GetTopIndex(), 0);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Editor().Row(), 2 * perPage - 2);
  EXPECT_EQ(list.GetTopIndex(), perPage - 1);
  // Above the top of the page: to the top row; at the top: a page up.
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Editor().Row(), perPage - 1);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Editor().Row(), 0);
  for (int i = 0; i < 3; ++i) Key(Qt::Key_Down);
  Key(Qt::Key_PageUp);
  EXPECT_EQ(Editor().Row(), 0);
  Key(Qt::Key_End);
  EXPECT_EQ(Editor().Row(), 99);
  Key(Qt::Key_PageDown);
  EXPECT_EQ(Editor().Row(), 99);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 99);
  Key(Qt::Key_Home);
  EXPECT_EQ(Editor().Row(), 0);
}

TEST_F(Grid, ClicksPickTheCellUnderThePointer) {
  Open(true, 3);
  // The right edge pixel of a column belongs to it.
  Click(99, RowMiddle(1));
  EXPECT_EQ(Editor().Row(), 1);
  EXPECT_EQ(Editor().Column(), 0);
  Click(101, RowMiddle(2));
  EXPECT_EQ(Editor().Column(), 1);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
  // Below the last row: the column changes, the row stays.
  Click(250, RowMiddle(2) + 60);
  EXPECT_EQ(Editor().Row(), 2);
  EXPECT_EQ(Editor().Column(), 2);
  // A click elsewhere leaves a changed text in the list, uncommitted.
  Key(Qt::Key_F2);
  Type("x");
  Click(10, RowMiddle(0));
  EXPECT_FALSE(Editor().IsCaretActive());
  EXPECT_EQ(Cell(2, 2), "xnote");
  EXPECT_EQ(Editor().Row(), 0);
}

TEST_F(Grid, ATallHeaderShiftsTheRowArithmetic) {
  Open(true, 5);
  RECT row;
  list.GetItemRect(0, &row, LVIR_BOUNDS);
  const int rowHeight = row.bottom - row.top;
  view->SetHeaderHeight(rowHeight + 3 + rowHeight / 2);
  list.UpdateWindow();
  list.GetItemRect(0, &row, LVIR_BOUNDS);
  Click(10, row.bottom - 2);
  EXPECT_EQ(Editor().Row(), 1);
}

TEST_F(Grid, HeadingClicksOpenTheEditorInsteadOfSorting) {
  for (const bool editing : {true, false}) {
    SCOPED_TRACE(editing);
    CCustListCtrl other;
    other.SetEditingEnabled(editing);
    ASSERT_TRUE(other.Create(kStyle, RECT{0, 0, 360, 200}, static_cast<QWidget*>(nullptr), 1000));
    other.View()->show();
    other.InsertColumn(0, "A", LVCFMT_LEFT, 100);
    other.InsertColumn(1, "B", LVCFMT_LEFT, 100);
    other.InsertItems(-1, {{"a0", "b0"}, {"a1", "b1"}});
    int sorts = 0;
    other.SetNotifyHandler(LVN_COLUMNCLICK, [&](NMHDR*, LRESULT*) {
      ++sorts;
      return TRUE;
    });
    QHeaderView* header = other.View()->Header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(150, header->height() / 2));
    EXPECT_EQ(sorts, editing ? 0 : 1);
    EXPECT_EQ(other.Editor().IsCaretActive(), editing);
    if (editing) {
      EXPECT_EQ(other.Editor().Column(), 1);
      EXPECT_STREQ(other.Editor().Text(), "b0");
    }
  }
}

// ---- the text and the caret -------------------------------------------------------------

TEST_F(Grid, InANarrowCellTheTextScrollsTheTypedTextStaysInOrderAndStopsAt255Bytes) {
  Open(true, 1);
  list.SetColumnWidth(0, 60);
  Key(Qt::Key_F2);
  Key(Qt::Key_End);
  Type("abcdefghijklmnopqrstuvwxyz");
  const std::string text = Editor().Text();
  EXPECT_EQ(text, "row 0abcdefghijklmnopqrstuvwxyz");
  EXPECT_EQ(Editor().CaretPosition(), 31);
  EXPECT_LT(Editor().Caret().GetCaretPos().x, 59);  // drawn inside the cell
  // Stepping back through hidden text and typing puts the letter there.
  for (int i = 0; i < 26; ++i) Key(Qt::Key_Left);
  Type("-");
  EXPECT_EQ(std::string(Editor().Text()), "row 0-abcdefghijklmnopqrstuvwxyz");
  EXPECT_GE(Editor().Caret().GetCaretPos().x, 0);
  Key(Qt::Key_End);
  Key(Qt::Key_Backspace);
  EXPECT_EQ(std::string(Editor().Text()), "row 0-abcdefghijklmnopqrstuvwxy");
  Type(QString(300, QChar('a')));
  EXPECT_EQ(std::string(Editor().Text()).size(), 255u);
  Key(Qt::Key_Return);
  EXPECT_EQ(list.GetItemText(0, 0).GetLength(), 255);
}

TEST_F(Grid, TheCaretStepsOverWholeCharacters) {
  Open(true, 1);
  Key(Qt::Key_F2);
  QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("ü"));
  QApplication::sendEvent(view, &typed);
  list.UpdateWindow();
  EXPECT_STREQ(Editor().Text(), "\xC3\xBCrow 0");
  EXPECT_EQ(Editor().CaretPosition(), 2);
  Key(Qt::Key_Left);
  EXPECT_EQ(Editor().CaretPosition(), 0);
  Key(Qt::Key_Delete);
  EXPECT_STREQ(Editor().Text(), "row 0");
  EXPECT_EQ(list.GetItemCount(), 1);
}

TEST_F(Grid, TheCaretIsALineInTheCellThatLeavesWithTheFocus) {
  Open(true, 3);
  Key(Qt::Key_F2);
  CListCaret& caret = Editor().Caret();
  ASSERT_TRUE(caret.Exists());
  EXPECT_TRUE(caret.IsShown());
  RECT row;
  list.GetItemRect(0, &row, LVIR_BOUNDS);
  EXPECT_EQ(caret.Width(), 1);
  EXPECT_EQ(caret.Height(), row.bottom - row.top - 2);
  EXPECT_EQ(caret.GetCaretPos().x, 6);
  EXPECT_EQ(caret.GetCaretPos().y, row.top + 1);
  const UINT blink = GetCaretBlinkTime();
  EXPECT_EQ(caret.BlinkInterval(), blink == INFINITE ? 0 : static_cast<int>(blink));
  QTest::qWait(20);
  EXPECT_TRUE(caret.Line()->isVisible());
  EXPECT_EQ(caret.Line()->geometry(), QRect(6, row.top + 1 - view->HeaderHeight(), 1, row.bottom - row.top - 2));
  Key(Qt::Key_End);
  const POINT atEnd = caret.GetCaretPos();
  EXPECT_EQ(atEnd.x, 6 + list.GetStringWidth("row 0"));

  QFocusEvent out(QEvent::FocusOut);
  QApplication::sendEvent(view, &out);
  EXPECT_FALSE(caret.Exists());
  EXPECT_TRUE(Editor().IsCaretActive());
  QFocusEvent in(QEvent::FocusIn);
  QApplication::sendEvent(view, &in);
  ASSERT_TRUE(caret.Exists());
  EXPECT_TRUE(caret.IsShown());
  EXPECT_EQ(caret.GetCaretPos().x, atEnd.x);

  Key(Qt::Key_Escape);
  EXPECT_FALSE(caret.Exists());
}

TEST_F(Grid, TheScrollBarDoesNothingWhileACellIsEdited) {
  Open(true, 100);
  Key(Qt::Key_F2);
  view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(list.GetTopIndex(), 0);
  Key(Qt::Key_Escape);
  view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(list.GetTopIndex(), 1);
}

// ---- adding and deleting rows ------------------------------------------------------------

TEST_F(Grid, InsertThenEscapeRemovesTheNewRowAndLeavesTheLastRowCurrent) {
  Open(true, 5);
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  Key(Qt::Key_Insert);
  ASSERT_EQ(list.GetItemCount(), 6);
  EXPECT_TRUE(Editor().IsNewRowPending());
  EXPECT_TRUE(Editor().IsCaretActive());
  EXPECT_EQ(Editor().Row(), 5);
  EXPECT_EQ(Editor().Column(), 0);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 5);
  // While the row is pending: no second row, no clicks, no row moves.
  Key(Qt::Key_Insert);
  Click(10, RowMiddle(1));
  Key(Qt::Key_Up);
  EXPECT_EQ(list.GetItemCount(), 6);
  EXPECT_EQ(Editor().Row(), 5);
  Key(Qt::Key_Escape);
  EXPECT_EQ(list.GetItemCount(), 5);
  EXPECT_FALSE(Editor().IsNewRowPending());
  EXPECT_FALSE(Editor().IsCaretActive());
  EXPECT_EQ(Editor().Row(), 4);
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 4);
}

TEST_F(Grid, InsertThenEnterKeepsTheNewRow) {
  Open(true, 2);
  Key(Qt::Key_Insert);
  Type("new");
  Key(Qt::Key_Tab);  // no beep check for a pending row
  Type("5");
  Key(Qt::Key_Return);
  ASSERT_EQ(list.GetItemCount(), 3);
  EXPECT_EQ(Cell(2, 0), "new");
  EXPECT_EQ(Cell(2, 1), "5");
  EXPECT_FALSE(Editor().IsNewRowPending());
  EXPECT_FALSE(Editor().IsCaretActive());
}

TEST_F(Grid, RowsArrivingWhileANewRowIsPendingGoInBeforeIt) {
  Open(true, 2);
  Key(Qt::Key_Insert);
  Type("mine");
  const char* loaded[] = {"row 2", "20", "note", "row 3", "30", "note"};
  ASSERT_EQ(list.InsertItems(2, 2, 3, loaded), 2);
  EXPECT_EQ(Editor().Row(), 4);
  Key(Qt::Key_Return);
  ASSERT_EQ(list.GetItemCount(), 5);
  EXPECT_EQ(Cell(2, 0), "row 2");
  EXPECT_EQ(Cell(3, 0), "row 3");
  EXPECT_EQ(Cell(4, 0), "mine");
}

TEST_F(Grid, DeleteRemovesTheRowOnlyFromTheFirstColumn) {
  Open(true, 3);
  MessageBoxRecorder boxes;
  Key(Qt::Key_Tab);  // no caret: the current cell moves
  Key(Qt::Key_Delete);
  EXPECT_EQ(list.GetItemCount(), 3);
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  ASSERT_EQ(Editor().Column(), 0);
  Key(Qt::Key_End);
  Key(Qt::Key_Delete);
  ASSERT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(Cell(1, 0), "row 1");
  EXPECT_EQ(Editor().Row(), 1);  // the last row went: the row above is current
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  EXPECT_TRUE(boxes.Calls().empty());
  // With the caret in the cell, Delete takes a character instead.
  Key(Qt::Key_F2);
  Key(Qt::Key_Delete);
  EXPECT_STREQ(Editor().Text(), "ow 1");
  EXPECT_EQ(list.GetItemCount(), 2);
}

TEST_F(Grid, TheMenusDeleteAsksFirst) {
  Open(true, 3);
  MessageBoxRecorder boxes;
  const auto previous = CMenu::SetPopupChooser([](const CMenu& menu) {
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    return static_cast<UINT_PTR>(CCustListCtrl::kDeleteCommand);
  });
  boxes.Answer(IDNO);
  ContextMenu();
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "Delete record?");
  EXPECT_EQ(boxes.Calls()[0].type, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(boxes.Calls()[0].caption, AfxGetAppName().GetString());
  EXPECT_EQ(list.GetItemCount(), 3);
  boxes.Answer(IDYES);
  ContextMenu();
  EXPECT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(Cell(0, 0), "row 1");
  // The menu's Add and Edit.
  CMenu::SetPopupChooser([](const CMenu&) { return static_cast<UINT_PTR>(CCustListCtrl::kAddCommand); });
  ContextMenu();
  EXPECT_TRUE(Editor().IsNewRowPending());
  // Deleting an unsaved new record from the menu drops it.
  CMenu::SetPopupChooser([](const CMenu&) { return static_cast<UINT_PTR>(CCustListCtrl::kDeleteCommand); });
  boxes.Answer(IDYES);
  ContextMenu();
  EXPECT_FALSE(Editor().IsNewRowPending());
  EXPECT_EQ(list.GetItemCount(), 2);
  CMenu::SetPopupChooser([](const CMenu&) { return static_cast<UINT_PTR>(CCustListCtrl::kEditCommand); });
  ContextMenu();
  EXPECT_TRUE(Editor().IsCaretActive());
  CMenu::SetPopupChooser(previous);
}

TEST_F(Grid, WithoutEditingTheListIsAnOrdinaryReportList) {
  Open(false, 3);
  int menus = 0;
  const auto previous = CMenu::SetPopupChooser([&](const CMenu&) {
    ++menus;
    return UINT_PTR(0);
  });
  Click(10, RowMiddle(1));
  EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 1);
  ContextMenu();
  EXPECT_EQ(menus, 0);
  Key(Qt::Key_Insert);
  Key(Qt::Key_Delete);
  Key(Qt::Key_F2);
  EXPECT_EQ(list.GetItemCount(), 3);
  EXPECT_FALSE(Editor().IsCaretActive());
  CMenu::SetPopupChooser(previous);
}

// ---- drawing ---------------------------------------------------------------------------

TEST_F(Grid, EditingDrawsGridLinesAndHighlightsOnlyTheCurrentCell) {
  Open(true, 3);
  Click(110, RowMiddle(1));  // row 1, column 1 is current and its row selected
  const int y = RowMiddle(1) - view->HeaderHeight();
  QImage image = view->viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(99, y), QColor(192, 192, 192));
  EXPECT_EQ(image.pixelColor(102, y), ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(image.pixelColor(3, y), ToQColor(GetSysColor(COLOR_WINDOW)));
  EXPECT_EQ(image.pixelColor(290, y), ToQColor(GetSysColor(COLOR_WINDOW)));
}

TEST_F(Grid, WithoutEditingTheSelectedRowIsHighlightedWhole) {
  Open(false, 3);
  Click(110, RowMiddle(1));
  const int y = RowMiddle(1) - view->HeaderHeight();
  QImage image = view->viewport()->grab().toImage();
  EXPECT_EQ(image.pixelColor(3, y), ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(image.pixelColor(290, y), ToQColor(GetSysColor(COLOR_HIGHLIGHT)));
  EXPECT_EQ(image.pixelColor(3, RowMiddle(0) - view->HeaderHeight()), ToQColor(GetSysColor(COLOR_WINDOW)));
}

TEST_F(Grid, TheDestructorLeavesATrace) {
  static std::string trace;
  const DebugTraceSink previous = SetDebugTraceSink([](const char* text) { trace += text; });
  { CCustListCtrl temporary; }
  SetDebugTraceSink(previous);
  EXPECT_EQ(trace, "Destructor de CCustListCtrl\n");
}

}  // namespace
