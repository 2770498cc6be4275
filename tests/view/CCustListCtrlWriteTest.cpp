// The grid writing its edits to a SQLite database (a temporary copy of the
// trading sample): updates, inserts and deletes that reach the file, what
// the list shows afterwards, and refused or failing writes.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CCustListCtrl.h"
#include "CEnumDialog.h"
#include "ReportListView.h"
#include "MessageBoxRecorder.h"
#include "ProviderTestSupport.h"
#include "Resources.h"
#include "SqliteProvider.h"
#include "TestEnvironment.h"
#include "objbase.h"

namespace {

constexpr DWORD kStyle = LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SINGLESEL | WS_VISIBLE;
constexpr int kColumnWidth = 260;  // wide enough for every typed text
const std::vector<RowsetProperty> kTableView = {{DBPROP_IRowsetLocate, 1}};
const std::string kNotTheRowShown =
    "The row in the data source no longer holds what the grid shows: it was changed elsewhere, or the grid lost "
    "track of it. Nothing was written.";
const std::string kTooLong =
    "This value is longer than the 255 bytes the cell editor holds, so it cannot be edited here.";

class GridWrites : public testing::Test {
 protected:
  // Shows the rowset of `sql` in an editable grid, as the viewer does.
  void Open(const std::string& sql, const std::vector<RowsetProperty>& properties = kTableView,
            bool viewerGivesBookmarks = false) {
    m_source = OpenDataSource(CLSID_RavezovSQLite, m_copy.Path());
    ASSERT_TRUE(m_source);
    m_session = CreateSession(m_source);
    CommandResult result = Execute(m_session, sql, properties);
    ASSERT_TRUE(result.rowset) << sql;
    m_rowset = result.rowset;
    list.SetEditingEnabled(TRUE);
    ASSERT_TRUE(list.Create(kStyle, RECT{0, 0, 1800, 300}, static_cast<QWidget*>(nullptr), 1000));
    list.View()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list.View()));
    int column = 0;
    for (const std::string& name : ColumnNames(m_rowset)) list.InsertColumn(column++, name.c_str(), LVCFMT_LEFT, kColumnWidth);
    list.SetRowset(m_rowset, 0);
    if (viewerGivesBookmarks)
      LoadHandingOverBookmarks();
    else
      for (const TextRow& row : ReadAll(m_rowset)) list.InsertItems(-1, {Texts(row)});
    list.UpdateWindow();
  }
  // Loads 20 rows at a time and hands each batch's bookmarks to the list.
  void LoadHandingOverBookmarks() {
    const std::vector<TextRow> rows = ReadAll(m_rowset);
    m_rowset->RestartPosition(DB_NULL_HCHAPTER);
    int first = 0;
    for (;;) {
      HROW handles[20];
      HROW* p = handles;
      DBCOUNTITEM obtained = 0;
      m_rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p);
      if (obtained == 0) break;
      for (DBCOUNTITEM i = 0; i < obtained; ++i) list.InsertItems(-1, {Texts(rows[first + i])});
      ASSERT_EQ(list.RememberBookmarks(first, obtained, handles), S_OK);
      m_rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
      first += static_cast<int>(obtained);
    }
  }
  static std::vector<std::string> Texts(const TextRow& row) {
    std::vector<std::string> texts;
    for (const auto& cell : row) texts.push_back(cell.value_or(""));
    return texts;
  }
  // What the file holds, through a connection of its own.
  std::vector<TextRow> Query(const std::string& sql) {
    auto source = OpenDataSource(CLSID_RavezovSQLite, m_copy.Path());
    auto session = CreateSession(source);
    CommandResult result = Execute(session, sql);
    return result.rowset ? ReadAll(result.rowset) : std::vector<TextRow>{};
  }
  std::optional<std::string> Scalar(const std::string& sql) {
    auto rows = Query(sql);
    return rows.empty() ? std::optional<std::string>("<no row>") : rows[0][0];
  }

  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(list.View(), key, modifiers);
    list.UpdateWindow();
  }
  void Type(const char* text) {
    QTest::keyClicks(list.View(), text);
    list.UpdateWindow();
  }
  void ToColumn(int column) {
    while (list.Editor().Column() < column) Key(Qt::Key_Tab);
  }
  // Replaces the current cell's text: open, empty, type, commit.
  void Replace(const char* text) {
    Key(Qt::Key_F2);
    while (list.Editor().Text()[0] != '\0') Key(Qt::Key_Delete);
    Type(text);
    Key(Qt::Key_Return);
  }
  void ClickRow(int row, int column = 0) {
    RECT rect;
    list.GetItemRect(row, &rect, LVIR_BOUNDS);
    const int y = (rect.top + rect.bottom) / 2 - list.View()->HeaderHeight();
    QTest::mouseClick(list.View()->viewport(), Qt::LeftButton, {}, QPoint(column * kColumnWidth + 10, y));
    list.UpdateWindow();
  }
  std::string Cell(int row, int column) { return list.GetItemText(row, column).GetString(); }
  void EditAfterDeletingTheFirstRow(bool viewerGivesBookmarks, const char* title);

  ComApartment m_apartment;
  TempFileCopy m_copy{std::string(SamplesDir()) + "/trading.db"};
  ComPtr<IDBInitialize> m_source;
  ComPtr<IUnknown> m_session;
  ComPtr<IRowset> m_rowset;
  CCustListCtrl list;  // destroyed before the rowset it borrows
};

TEST_F(GridWrites, EditsInsertsAndDeletesReachTheDatabaseFile) {
  Open("select * from Instruments order by symbol");
  MessageBoxRecorder boxes;
  ASSERT_EQ(Cell(0, 0), "ALPN");
  ToColumn(2);
  Replace("USD");
  EXPECT_FALSE(list.Editor().IsCaretActive());
  EXPECT_EQ(Scalar("select currency from Instruments where symbol = 'ALPN'"), "USD");
  // The list shows what the database made of the text.
  ToColumn(3);
  Replace("0.250");
  EXPECT_EQ(Scalar("select tick_size from Instruments where symbol = 'ALPN'"), "0.25");
  EXPECT_EQ(Cell(0, 3), "0.25");

  const int rows = list.GetItemCount();
  Key(Qt::Key_Insert);
  Type("ZZZ");
  Key(Qt::Key_Tab);
  Type("Zeta Holdings");
  Key(Qt::Key_Tab);
  Key(Qt::Key_Tab);  // the currency is left to its default
  Type("0.5");
  Key(Qt::Key_Return);
  ASSERT_EQ(list.GetItemCount(), rows + 1);
  EXPECT_FALSE(list.Editor().IsNewRowPending());
  EXPECT_EQ(Cell(rows, 2), "EUR");
  EXPECT_EQ(Scalar("select name || '/' || currency || '/' || tick_size from Instruments where symbol = 'ZZZ'"),
            "Zeta Holdings/EUR/0.5");

  // The new row is found again for a change and for its deletion.
  ClickRow(rows, 1);
  Replace("Zeta Group");
  EXPECT_EQ(Scalar("select name from Instruments where symbol = 'ZZZ'"), "Zeta Group");
  ClickRow(rows, 0);
  Key(Qt::Key_Delete);
  EXPECT_EQ(list.GetItemCount(), rows);
  EXPECT_EQ(Scalar("select count(*) from Instruments where symbol = 'ZZZ'"), "0");
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Calls()[0].text;
}

// After a row is deleted, list row 0 is the rowset's second row: the edit
// must reach that row, whether the viewer handed the bookmarks over while
// loading or the grid read them by position.
void GridWrites::EditAfterDeletingTheFirstRow(bool viewerGivesBookmarks, const char* title) {
  Open("select * from Notes order by id", kTableView, viewerGivesBookmarks);
  MessageBoxRecorder boxes;
  const std::string firstId = Cell(0, 0);
  Key(Qt::Key_Delete);
  ASSERT_EQ(Scalar("select count(*) from Notes where id = " + firstId), "0");
  const std::string secondId = Cell(0, 0);
  ToColumn(1);
  Replace(title);
  EXPECT_EQ(Scalar("select title from Notes where id = " + secondId), title);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(GridWrites, RowsReadByPositionAreFoundAgainAfterADeletion) { EditAfterDeletingTheFirstRow(false, "By position"); }

TEST_F(GridWrites, BookmarksHandedOverAreFoundAgainAfterADeletion) { EditAfterDeletingTheFirstRow(true, "Handed over"); }

TEST_F(GridWrites, LongTextsTheEditorCannotHoldAreNeverCut) {
  Open("select * from Notes where id = 2");
  MessageBoxRecorder boxes;
  const std::string body = Cell(0, 2);
  ASSERT_EQ(body.size(), 300u);
  // Changing one character of the 300 and pressing Enter once stored the
  // editor's first 254: the caret no longer opens on such a value.
  ToColumn(2);
  Key(Qt::Key_F2);
  EXPECT_FALSE(list.Editor().IsCaretActive());
  ASSERT_EQ(boxes.Texts(), std::vector<std::string>{kTooLong});
  Key(Qt::Key_End);
  Key(Qt::Key_Backspace);
  Type("y");
  Key(Qt::Key_Return);
  EXPECT_EQ(Scalar("select body from Notes where id = 2"), body);
  EXPECT_EQ(Cell(0, 2), body);

  // A caret carried onto it by the keyboard ends there, with the same word.
  boxes.Clear();
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  Key(Qt::Key_F2);
  ASSERT_TRUE(list.Editor().IsCaretActive());
  Key(Qt::Key_Tab);
  EXPECT_EQ(list.Editor().Column(), 2);
  EXPECT_FALSE(list.Editor().IsCaretActive());
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{kTooLong});
  Type("z");
  Key(Qt::Key_Return);
  EXPECT_EQ(Scalar("select body from Notes where id = 2"), body);

  // The row's other cells are still edited and written around it.
  Key(Qt::Key_Tab, Qt::ShiftModifier);
  Replace("Renamed");
  EXPECT_EQ(Scalar("select length(body) || ' ' || title from Notes where id = 2"), "300 Renamed");
  EXPECT_EQ(Cell(0, 2), body);
}

// A bookmark kept for the wrong list row (as a load that went on after a
// deletion once left them) names the neighbour: the writer sees that that
// row does not hold what the list shows and writes nothing.
TEST_F(GridWrites, AWriteToARowThatIsNotTheRowShownIsRefusedAndChangesNothing) {
  Open("select * from Notes order by id", kTableView, true);
  MessageBoxRecorder boxes;
  const std::string firstId = Cell(0, 0), secondId = Cell(1, 0);
  const auto before = Query("select id, title from Notes order by id");
  const std::string neighbour = list.GetRowBookmark(0);
  ASSERT_TRUE(list.SetRowBookmark(1, reinterpret_cast<const BYTE*>(neighbour.data()),
                                  static_cast<DBBKMARK>(neighbour.size())));
  ClickRow(1, 1);
  Replace("Misplaced");
  ASSERT_EQ(boxes.Texts(), std::vector<std::string>{kNotTheRowShown});
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_TRUE(list.Editor().IsCaretActive());
  EXPECT_EQ(std::string(list.Editor().Text()), "Misplaced");
  Key(Qt::Key_Escape);
  ClickRow(1, 0);
  Key(Qt::Key_Delete);
  EXPECT_EQ(boxes.Texts().size(), 2u);
  EXPECT_EQ(boxes.Texts().back(), kNotTheRowShown);
  EXPECT_EQ(Query("select id, title from Notes order by id"), before);
  EXPECT_EQ(Cell(0, 0), firstId);
  EXPECT_EQ(Cell(1, 0), secondId);
}

// Every way out of a changed cell writes it as Enter does; the list and the
// file agree afterwards.
TEST_F(GridWrites, EveryWayOutOfAChangedCellWritesIt) {
  struct Route {
    const char* name;
    std::function<void()> leave;
  };
  const std::vector<Route> routes = {
      {"a click on another cell", [this] { ClickRow(2, 0); }},
      {"Insert", [this] { Key(Qt::Key_Insert); }},
      {"a heading click", [this] { emit list.View()->Header()->sectionClicked(0); }},
      {"Tab out of the last column", [this] { Key(Qt::Key_Tab); }},
  };
  Open("select code, name from Desks order by code");
  MessageBoxRecorder boxes;
  int n = 0;
  for (const Route& route : routes) {
    SCOPED_TRACE(route.name);
    const std::string code = Cell(1, 0);
    const std::string name = "Desk " + std::to_string(++n);
    ClickRow(1, 1);
    Key(Qt::Key_F2);
    Key(Qt::Key_End);
    while (list.Editor().CaretPosition() > 0) Key(Qt::Key_Backspace);
    Type(name.c_str());
    route.leave();
    EXPECT_EQ(Scalar("select name from Desks where code = '" + code + "'"), name);
    EXPECT_EQ(Cell(1, 1), name);
    if (list.Editor().IsNewRowPending()) Key(Qt::Key_Escape);
    if (list.Editor().IsCaretActive()) Key(Qt::Key_Escape);
  }
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Calls()[0].text;
  EXPECT_EQ(list.GetItemCount(), 3);
}

TEST_F(GridWrites, LeavingACellWhoseWriteFailsKeepsTheCaretAndTheTypedText) {
  Open("select * from Traders order by id");
  MessageBoxRecorder boxes;
  const std::string original = Cell(0, 2);
  const std::string taken = Cell(1, 2);
  ToColumn(2);
  Key(Qt::Key_F2);
  while (list.Editor().Text()[0] != '\0') Key(Qt::Key_Delete);
  Type(taken.c_str());  // email is UNIQUE
  for (auto leave : {std::function<void()>([&] { ClickRow(2, 1); }),
                     std::function<void()>([&] { Key(Qt::Key_Insert); }),
                     std::function<void()>([&] { emit list.View()->Header()->sectionClicked(0); })}) {
    boxes.Clear();
    leave();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_NE(boxes.Calls()[0].text.find("UNIQUE"), std::string::npos) << boxes.Calls()[0].text;
    EXPECT_TRUE(list.Editor().IsCaretActive());
    EXPECT_FALSE(list.Editor().IsNewRowPending());
    EXPECT_EQ(list.Editor().Row(), 0);
    EXPECT_EQ(list.Editor().Column(), 2);
    EXPECT_EQ(std::string(list.Editor().Text()), taken);
    EXPECT_EQ(Cell(0, 2), original);
  }
  EXPECT_EQ(Scalar("select email from Traders where id = 1"), original);
}

TEST_F(GridWrites, AFailingInsertKeepsThePendingRowAndShowsTheProvidersRecord) {
  Open("select * from Instruments order by symbol");
  MessageBoxRecorder boxes;
  const int rows = list.GetItemCount();
  Key(Qt::Key_Insert);
  Type("QQQ");
  Key(Qt::Key_Return);  // name and tick size are NOT NULL
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].caption, "Ravezov.SQLite");
  EXPECT_NE(boxes.Calls()[0].text.find("NOT NULL"), std::string::npos) << boxes.Calls()[0].text;
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_TRUE(list.Editor().IsNewRowPending());
  EXPECT_TRUE(list.Editor().IsCaretActive());
  EXPECT_EQ(list.GetItemCount(), rows + 1);
  EXPECT_EQ(Scalar("select count(*) from Instruments where symbol = 'QQQ'"), "0");
  // The row can be mended and committed.
  Key(Qt::Key_Tab);
  Type("Quux");
  Key(Qt::Key_Tab);
  Key(Qt::Key_Tab);
  Type("1");
  Key(Qt::Key_Return);
  EXPECT_FALSE(list.Editor().IsNewRowPending());
  EXPECT_EQ(Scalar("select name from Instruments where symbol = 'QQQ'"), "Quux");
  EXPECT_EQ(boxes.Calls().size(), 1u);
}

TEST_F(GridWrites, AFailingUpdateKeepsTheEditAndTheDatabaseUnchanged) {
  Open("select * from Traders order by id");
  MessageBoxRecorder boxes;
  const std::string original = Cell(0, 2);
  const std::string taken = Cell(1, 2);
  ToColumn(2);
  Replace(taken.c_str());  // email is UNIQUE
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].caption, "Ravezov.SQLite");
  EXPECT_NE(boxes.Calls()[0].text.find("UNIQUE"), std::string::npos) << boxes.Calls()[0].text;
  EXPECT_TRUE(list.Editor().IsCaretActive());
  EXPECT_EQ(std::string(list.Editor().Text()), taken);
  EXPECT_EQ(Cell(0, 2), original);
  EXPECT_EQ(Scalar("select email from Traders where id = 1"), original);
  Key(Qt::Key_Escape);
  EXPECT_EQ(Cell(0, 2), original);
  EXPECT_FALSE(list.Editor().IsCaretActive());
}

TEST_F(GridWrites, ARowsetThatCannotBeChangedRefusesClearly) {
  Open("select count(*) as n from Notes", {});
  MessageBoxRecorder boxes;
  Replace("9");
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "This rowset cannot be changed: its provider does not allow changes to it.");
  EXPECT_TRUE(list.Editor().IsCaretActive());
  Key(Qt::Key_Escape);
  Key(Qt::Key_Delete);
  EXPECT_EQ(list.GetItemCount(), 1);
  EXPECT_EQ(boxes.Calls().size(), 2u);
  EXPECT_EQ(Scalar("select count(*) from Notes"), Cell(0, 0));
}

TEST_F(GridWrites, WithoutBookmarksRowsAreFoundByPositionWhileTheyStillMatch) {
  Open("select * from Notes order by id", {{DBPROP_IRowsetChange, 1}});
  MessageBoxRecorder boxes;
  const std::string firstId = Cell(0, 0);
  Key(Qt::Key_Delete);
  EXPECT_EQ(Scalar("select count(*) from Notes where id = " + firstId), "0");
  const std::string secondId = Cell(0, 0);
  ToColumn(1);
  Replace("Found again");
  EXPECT_EQ(Scalar("select title from Notes where id = " + secondId), "Found again");
  EXPECT_TRUE(boxes.Calls().empty());
  // A row changed behind the grid's back is not the row the grid shows.
  ASSERT_TRUE(SUCCEEDED(Execute(m_session, "update Notes set title = 'Elsewhere' where id = " + secondId).hr));
  Replace("Lost");
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, kNotTheRowShown);
  EXPECT_EQ(Scalar("select title from Notes where id = " + secondId), "Elsewhere");
  EXPECT_TRUE(list.Editor().IsCaretActive());
}

// The whole road: the viewer loads a table on its thread, the user edits
// a cell, adds a row and deletes one, and the file holds the changes.
TEST_F(GridWrites, EditsInTheViewerReachTheFile) {
  RegisterDialogTemplates();
  m_source = OpenDataSource(CLSID_RavezovSQLite, m_copy.Path());
  m_session = CreateSession(m_source);
  CommandResult result = Execute(m_session, "select * from Desks order by code", kTableView);
  ASSERT_TRUE(result.rowset);
  CEnumDialog dialog(result.rowset.Detach(), "Data from table", 20);
  dialog.SetEditingEnabled(TRUE);
  MessageBoxRecorder boxes;
  CCustListCtrl& grid = dialog.List();
  auto key = [&](Qt::Key pressed) {
    QTest::keyClick(grid.View(), pressed);
    grid.UpdateWindow();
  };
  auto type = [&](const char* text) {
    QTest::keyClicks(grid.View(), text);
    grid.UpdateWindow();
  };
  auto click = [&](int row, int column) {
    RECT rect;
    grid.GetSubItemRect(row, column, LVIR_LABEL, rect);
    const QPoint at(rect.left + 5, (rect.top + rect.bottom) / 2 - grid.View()->HeaderHeight());
    QTest::mouseClick(grid.View()->viewport(), Qt::LeftButton, {}, at);
    grid.UpdateWindow();
  };
  std::vector<std::string> shown;
  bool done = false;
  QTimer driver;
  driver.setInterval(5);
  QObject::connect(&driver, &QTimer::timeout, [&] {
    if (!dialog.HasWindow() || dialog.IsLoading()) return;
    driver.stop();
    if (!done) {
      done = true;
      click(0, 2);  // CMD, Commodities: its city (NULL) becomes Oslo
      key(Qt::Key_F2);
      type("Oslo");
      key(Qt::Key_Return);
      key(Qt::Key_Insert);
      type("RT");
      key(Qt::Key_Tab);
      type("Rates");
      key(Qt::Key_Return);
      const int added = grid.GetItemCount() - 1;
      shown = {grid.GetItemText(0, 2).GetString(), grid.GetItemText(added, 1).GetString()};
      click(1, 0);  // EQ, from the first column
      key(Qt::Key_Delete);
    }
    static_cast<QAbstractButton*>(dialog.ControlById(IDCANCEL))->click();
  });
  driver.start();
  dialog.DoModal();
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Calls()[0].text;
  EXPECT_EQ(shown, (std::vector<std::string>{"Oslo", "Rates"}));
  EXPECT_EQ(Scalar("select city from Desks where code = 'CMD'"), "Oslo");
  EXPECT_EQ(Scalar("select name from Desks where code = 'RT'"), "Rates");
  EXPECT_EQ(Scalar("select count(*) from Desks where code = 'EQ'"), "0");
}

}  // namespace
