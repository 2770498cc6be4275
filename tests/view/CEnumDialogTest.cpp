#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "CEnumDialog.h"
#include "ComObject.h"
#include "ComPtr.h"
#include "ForwardingRowset.h"
#include "MemoryRowset.h"
#include "MessageBoxRecorder.h"
#include "ReportListView.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "SqliteProvider.h"
#include "TestEnvironment.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kTradeRows = 12000;

std::string TradingDb() { return std::string(SamplesDir()) + "/trading.db"; }

// A data source and session of the SQLite provider on one file.
class Connection {
 public:
  explicit Connection(const std::string& path) {
    ComPtr<IDBProperties> properties;
    EXPECT_EQ(CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                               reinterpret_cast<void**>(&properties)),
              S_OK);
    DBPROP prop{};
    prop.dwPropertyID = DBPROP_INIT_DATASOURCE;
    prop.vValue.vt = VT_BSTR;
    prop.vValue.bstrVal = SysAllocString(AnsiToOle(path).c_str());
    DBPROPSET set{&prop, 1, DBPROPSET_DBINIT};
    EXPECT_EQ(properties->SetProperties(1, &set), S_OK);
    VariantClear(&prop.vValue);
    m_dataSource = properties.As<IDBInitialize>();
    EXPECT_EQ(m_dataSource->Initialize(), S_OK);
    EXPECT_EQ(m_dataSource.As<IDBCreateSession>()->CreateSession(nullptr, IID_IUnknown, &m_session), S_OK);
  }

  ComPtr<IRowset> Command(const std::string& sql) {
    ComPtr<ICommandText> command;
    EXPECT_EQ(m_session.As<IDBCreateCommand>()->CreateCommand(nullptr, IID_ICommandText,
                                                             reinterpret_cast<IUnknown**>(&command)),
              S_OK);
    EXPECT_EQ(command->SetCommandText(DBGUID_DBSQL, AnsiToOle(sql).c_str()), S_OK);
    ComPtr<IRowset> rowset;
    EXPECT_EQ(command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset)), S_OK);
    return rowset;
  }

  ComPtr<IUnknown> Session() const { return m_session; }

  // With bookmarks, the table as the table data view opens it.
  ComPtr<IRowset> Table(const std::string& name, bool withBookmarks = false) {
    std::u16string wide = AnsiToOle(name);
    DBID id{};
    id.eKind = DBKIND_NAME;
    id.uName.pwszName = wide.data();
    DBPROP locate{};
    locate.dwPropertyID = DBPROP_IRowsetLocate;
    locate.dwOptions = DBPROPOPTIONS_REQUIRED;
    locate.vValue.vt = VT_BOOL;
    locate.vValue.boolVal = VARIANT_TRUE;
    DBPROPSET set{&locate, 1, DBPROPSET_ROWSET};
    ComPtr<IRowset> rowset;
    EXPECT_EQ(m_session.As<IOpenRowset>()->OpenRowset(nullptr, &id, nullptr, IID_IRowset, withBookmarks ? 1 : 0,
                                                     withBookmarks ? &set : nullptr,
                                                     reinterpret_cast<IUnknown**>(&rowset)),
              S_OK);
    return rowset;
  }

 private:
  ComPtr<IDBInitialize> m_dataSource;
  ComPtr<IUnknown> m_session;
};

// The text of the command that produced a rowset; empty when none did.
std::string CommandTextOf(IRowset* rowset) {
  if (!rowset) return {};
  ComPtr<IRowsetInfo> info;
  if (FAILED(rowset->QueryInterface(IID_IRowsetInfo, reinterpret_cast<void**>(&info)))) return {};
  ComPtr<IUnknown> creator;
  if (info->GetSpecification(IID_ICommandText, &creator) != S_OK) return {};
  GUID dialect = DBGUID_DBSQL;
  LPOLESTR text = nullptr;
  creator.As<ICommandText>()->GetCommandText(&dialect, &text);
  std::string sql = text ? OleToAnsi(text) : std::string();
  CoTaskMemFree(text);
  return sql;
}

// Passes a rowset's calls through and records the fetches and releases the
// loader makes; a hook runs on the loader's thread after every fetch.
class WatchedRowset : public ForwardingRowset {
 public:
  using ForwardingRowset::ForwardingRowset;

  HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER chapter, DBROWOFFSET offset, DBROWCOUNT rows,
                                        DBCOUNTITEM* obtained, HROW** handles) override {
    const HRESULT hr = m_inner->GetNextRows(chapter, offset, rows, obtained, handles);
    int fetches;
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_fetchSizes.push_back(rows);
      fetches = static_cast<int>(m_fetchSizes.size());
    }
    if (m_afterFetch) m_afterFetch(fetches);
    return hr;
  }
  HRESULT STDMETHODCALLTYPE ReleaseRows(DBCOUNTITEM c, const HROW r[], DBROWOPTIONS o[], DBREFCOUNT rc[],
                                        DBROWSTATUS rs[]) override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_releases.push_back(c);
    }
    return m_inner->ReleaseRows(c, r, o, rc, rs);
  }




  std::vector<DBROWCOUNT> FetchSizes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_fetchSizes;
  }
  std::vector<DBCOUNTITEM> Releases() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_releases;
  }
  std::function<void(int fetches)> m_afterFetch;

 private:
  std::mutex m_mutex;
  std::vector<DBROWCOUNT> m_fetchSizes;
  std::vector<DBCOUNTITEM> m_releases;
};

// Hands the viewer a watched rowset; the test keeps a reference to watch it.
IRowset* Watch(ComPtr<IRowset> inner, ComPtr<WatchedRowset>& watched) {
  watched.Attach(new WatchedRowset(std::move(inner)));
  IRowset* handed = watched.Get();
  handed->AddRef();
  return handed;
}

// Runs an action on the test's thread soon after another thread fires it;
// the firing is a plain atomic flag, which thread checkers can follow.
class Trigger {
 public:
  explicit Trigger(std::function<void()> action) : m_action(std::move(action)) {
    QObject::connect(&m_poll, &QTimer::timeout, [this] {
      if (!m_fired.exchange(false)) return;
      m_poll.stop();
      m_action();
    });
    m_poll.start(1);
  }
  void Fire() { m_fired = true; }

 private:
  std::function<void()> m_action;
  std::atomic<bool> m_fired{false};
  QTimer m_poll;
};

// Runs the dialog modally; each step runs on its thread once the previous
// load has ended, and the Close button ends it after the last step.
INT_PTR RunSteps(CEnumDialog& dialog, std::vector<std::function<void()>> steps) {
  size_t next = 0;
  QTimer timer;
  timer.setInterval(5);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!dialog.HasWindow() || dialog.IsLoading()) return;
    if (next < steps.size()) {
      steps[next++]();
      return;
    }
    timer.stop();
    static_cast<QAbstractButton*>(dialog.ControlById(IDCANCEL))->click();
  });
  timer.start();
  return dialog.DoModal();
}

void ClickHeading(CEnumDialog& dialog, int column) {
  // What a click on the header section does.
  emit dialog.List().View()->Header()->sectionClicked(column);
}

std::vector<std::string> Headings(CListCtrl& list) {
  std::vector<std::string> headings;
  char text[256];
  for (int i = 0;; ++i) {
    LVCOLUMN column;
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    if (!list.GetColumn(i, &column)) return headings;
    headings.emplace_back(text);
  }
}

std::vector<std::string> g_trace;
std::mutex g_traceMutex;
void RecordTrace(const char* text) {
  std::lock_guard<std::mutex> lock(g_traceMutex);
  g_trace.emplace_back(text);
}

// A database file of the test's own, removed afterwards.
class ScratchDb {
 public:
  explicit ScratchDb(const std::string& sql) {
    m_path = (std::filesystem::temp_directory_path() / ("ravezov-viewer-" + std::to_string(::getpid()) + ".db")).string();
    std::filesystem::remove(m_path);
    sqlite3* db = nullptr;
    sqlite3_open(m_path.c_str(), &db);
    char* error = nullptr;
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(error, nullptr) << error;
    sqlite3_free(error);
    sqlite3_close(db);
  }
  ~ScratchDb() { std::filesystem::remove(m_path); }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

class RowsetViewer : public testing::Test {
 protected:
  void SetUp() override {
    RegisterDialogTemplates();
    CoInitialize(nullptr);
  }
  void TearDown() override { CoUninitialize(); }
};

}  // namespace

TEST_F(RowsetViewer, ShowsEveryRowUnderItsHeadingsWithTheCaption) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Command("select * from Desks").Detach(), "Data from query", 20);
  std::string caption;
  std::vector<std::string> headings;
  std::vector<std::string> firstRow;
  int rows = 0;
  RunSteps(dialog, {[&] {
             CString text;
             dialog.GetWindowText(text);
             caption = text.str();
             headings = Headings(dialog.List());
             rows = dialog.List().GetItemCount();
             for (int c = 0; c < 4; ++c) firstRow.emplace_back(dialog.List().GetItemText(2, c));
           }});
  EXPECT_EQ(caption, "Data from query");
  EXPECT_EQ(headings, (std::vector<std::string>{"code", "name", "city", "budget"}));
  EXPECT_EQ(rows, 3);
  // A NULL shows as an empty cell.
  EXPECT_EQ(firstRow, (std::vector<std::string>{"CMD", "Commodities", "", ""}));
}

TEST_F(RowsetViewer, AnEmptyRowsetShowsHeadingsAfterOneFetchAndOneReleaseOfNone) {
  Connection trading(TradingDb());
  ComPtr<WatchedRowset> watched;
  CEnumDialog dialog(Watch(trading.Command("select * from Trades where 0"), watched), "Empty", 20);
  std::vector<std::string> headings;
  int rows = -1;
  RunSteps(dialog, {[&] {
             headings = Headings(dialog.List());
             rows = dialog.List().GetItemCount();
           }});
  EXPECT_EQ(headings.size(), 7u);
  EXPECT_EQ(rows, 0);
  EXPECT_EQ(watched->FetchSizes(), std::vector<DBROWCOUNT>{20});
  EXPECT_EQ(watched->Releases(), std::vector<DBCOUNTITEM>{0});
}

TEST_F(RowsetViewer, ClosingWhileLoadingEndsAfterTheCurrentBatchByEveryRoute) {
  const std::vector<std::pair<const char*, std::function<void(CEnumDialog&)>>> routes = {
      {"Close button", [](CEnumDialog& d) { static_cast<QAbstractButton*>(d.ControlById(IDCANCEL))->click(); }},
      {"Escape", [](CEnumDialog& d) { QTest::keyClick(d.GetWidget(), Qt::Key_Escape); }},
      {"Enter", [](CEnumDialog& d) { QTest::keyClick(d.GetWidget(), Qt::Key_Return); }},
      {"close box", [](CEnumDialog& d) { d.GetWidget()->close(); }},
  };
  for (const auto& [route, closeBy] : routes) {
    SCOPED_TRACE(route);
    const auto& close = closeBy;  // a plain reference: the lambda below may capture it
    Connection trading(TradingDb());
    ComPtr<WatchedRowset> watched;
    CEnumDialog dialog(Watch(trading.Command("select * from Trades"), watched), "Trades", 20);
    bool closeRequested = false;
    int shown = -1;
    Trigger closing([&] {
      // The rows shown when the dialog ends.
      QObject::connect(static_cast<QDialog*>(dialog.GetWidget()), &QDialog::finished,
                       [&] { shown = dialog.List().GetItemCount(); });
      close(dialog);
      closeRequested = true;
      // The close only asks: the dialog is still there, loading.
      EXPECT_TRUE(dialog.IsLoading());
      EXPECT_TRUE(dialog.HasWindow());
    });
    watched->m_afterFetch = [&](int fetches) {
      if (fetches == 10) closing.Fire();
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(closeRequested);
    EXPECT_FALSE(dialog.IsLoading());
    const auto fetches = watched->FetchSizes();
    const auto releases = watched->Releases();
    // Rows stop in whole batches, far short of the table, and the batch
    // fetched after the request is released unread.
    EXPECT_GT(shown, 0);
    EXPECT_LT(shown, kTradeRows / 2);
    EXPECT_EQ(shown % 20, 0);
    EXPECT_EQ(fetches.size(), static_cast<size_t>(shown / 20 + 1));
    ASSERT_FALSE(releases.empty());
    EXPECT_EQ(releases.back(), 20u);
    EXPECT_EQ(releases.size(), fetches.size());
  }
}

TEST_F(RowsetViewer, AHeadingClickWhileLoadingDoesNothing) {
  Connection trading(TradingDb());
  ComPtr<WatchedRowset> watched;
  IRowset* handed = Watch(trading.Command("select * from Trades"), watched);
  CEnumDialog dialog(handed, "Trades", 20);
  bool clickedWhileLoading = false;
  Trigger click([&] {
    clickedWhileLoading = dialog.IsLoading();
    ClickHeading(dialog, 1);
  });
  watched->m_afterFetch = [&](int fetches) {
    if (fetches == 5) click.Fire();
  };
  MessageBoxRecorder boxes;
  IRowset* shownRowset = nullptr;
  int rows = 0;
  RunSteps(dialog, {[&] {
             shownRowset = dialog.GetRowset();
             rows = dialog.List().GetItemCount();
           }});
  EXPECT_TRUE(clickedWhileLoading);
  EXPECT_EQ(shownRowset, handed);
  EXPECT_EQ(rows, kTradeRows);
  EXPECT_EQ(watched->FetchSizes().size(), static_cast<size_t>(kTradeRows / 20 + 1));
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(RowsetViewer, HeadingClicksRerunTheCommandSortedAndToggleTheDirection) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Command("select * from Desks").Detach(), "Desks", 20);
  std::vector<std::string> sql, first;
  auto record = [&] {
    sql.push_back(CommandTextOf(dialog.GetRowset()));
    first.emplace_back(dialog.List().GetItemText(0, 0));
  };
  MessageBoxRecorder boxes;
  RunSteps(dialog, {[&] { ClickHeading(dialog, 0); }, record, [&] { ClickHeading(dialog, 0); }, record,
                    [&] { ClickHeading(dialog, 0); }, record, [&] { ClickHeading(dialog, 1); }, record});
  EXPECT_EQ(sql, (std::vector<std::string>{"select * from Desks order by [code]",
                                           "select * from Desks order by [code] desc",
                                           "select * from Desks order by [code]",
                                           "select * from Desks order by [name]"}));
  EXPECT_EQ(first, (std::vector<std::string>{"CMD", "FX", "CMD", "CMD"}));
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(RowsetViewer, ATableRowsetIsSortedThroughANewCommandOnItsSession) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Table("Order Details").Detach(), "Data from table", 20);
  dialog.SetTableName("Order Details");
  std::string sql;
  int rows = 0, before = 0;
  RunSteps(dialog, {[&] {
                      before = dialog.List().GetItemCount();
                      ClickHeading(dialog, 3);
                    },
                    [&] {
                      sql = CommandTextOf(dialog.GetRowset());
                      rows = dialog.List().GetItemCount();
                    }});
  EXPECT_EQ(sql, "select * from [Order Details] order by [quantity]");
  EXPECT_GT(before, 0);
  EXPECT_EQ(rows, before);
}

TEST_F(RowsetViewer, ARowsetWithoutCommandOrTableNameIsNotSortedAndNothingIsShown) {
  Connection trading(TradingDb());
  IRowset* table = trading.Table("Desks").Detach();
  CEnumDialog dialog(table, "Schema", 20);
  MessageBoxRecorder boxes;
  IRowset* after = nullptr;
  RunSteps(dialog, {[&] { ClickHeading(dialog, 0); }, [&] { after = dialog.GetRowset(); }});
  EXPECT_EQ(after, table);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(RowsetViewer, ARefusedRequeryIsReportedKeepsTheRowsAndLaterClicksAreIgnored) {
  Connection trading(TradingDb());
  // An upper-case clause is not recognised: a second one is appended.
  CEnumDialog dialog(trading.Command("select * from Desks ORDER BY code").Detach(), "Desks", 20);
  MessageBoxRecorder boxes;
  int rows = 0;
  size_t boxesAfterFirst = 0;
  bool rowsetAfterFailure = true;
  RunSteps(dialog, {[&] { ClickHeading(dialog, 1); },
                    [&] {
                      boxesAfterFirst = boxes.Calls().size();
                      rowsetAfterFailure = dialog.GetRowset() != nullptr;
                      ClickHeading(dialog, 1);
                    },
                    [&] { rows = dialog.List().GetItemCount(); }});
  EXPECT_EQ(boxesAfterFirst, 1u);
  EXPECT_EQ(boxes.Calls().size(), 1u);
  ASSERT_FALSE(boxes.Calls().empty());
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_FALSE(rowsetAfterFailure);
  EXPECT_EQ(rows, 3);
}

TEST_F(RowsetViewer, ARequeryKeepsTheHorizontalPositionAndTheColumns) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Command("select * from Trades").Detach(), "Trades", 20);
  int before = -1, after = -1;
  std::vector<std::string> headingsBefore, headingsAfter;
  RunSteps(dialog, {[&] {
                      dialog.List().Scroll(CSize(60, 0));
                      before = dialog.List().GetScrollPos(SB_HORZ);
                      headingsBefore = Headings(dialog.List());
                      ClickHeading(dialog, 2);
                    },
                    [&] {
                      after = dialog.List().GetScrollPos(SB_HORZ);
                      headingsAfter = Headings(dialog.List());
                    }});
  EXPECT_EQ(before, 60);
  EXPECT_EQ(after, 60);
  EXPECT_EQ(headingsAfter, headingsBefore);
}

TEST_F(RowsetViewer, ATableNameCannotBreakOutOfItsBrackets) {
  // Unmended, the sort would read "select * from [Secret] --] order by [a]":
  // the rows of another table.
  ScratchDb db(
      "create table Secret (a text); insert into Secret values ('hidden');"
      "create table \"Secret] --\" (a text); insert into \"Secret] --\" values ('own');");
  Connection scratch(db.Path());
  CEnumDialog dialog(scratch.Table("Secret] --").Detach(), "Data from table", 20);
  dialog.SetTableName("Secret] --");
  MessageBoxRecorder boxes;
  std::string shownBefore, shownAfter;
  RunSteps(dialog, {[&] {
                      shownBefore = dialog.List().GetItemText(0, 0);
                      ClickHeading(dialog, 0);
                    },
                    [&] { shownAfter = dialog.List().GetItemText(0, 0); }});
  EXPECT_EQ(shownBefore, "own");
  EXPECT_EQ(shownAfter, "own");
  EXPECT_EQ(boxes.Calls().size(), 1u);  // the provider refuses the text
}

TEST_F(RowsetViewer, TheListFollowsTheDialogsSize) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Command("select * from Desks").Detach(), "Desks", 20);
  QSize listBefore, listAfter;
  int closeGapBefore = 0, closeGapAfter = 0;
  RunSteps(dialog, {[&] {
                      QWidget* window = dialog.GetWidget();
                      listBefore = dialog.List().GetWidget()->size();
                      closeGapBefore = window->width() - dialog.ControlById(IDCANCEL)->x();
                      window->resize(window->width() + 200, window->height() + 100);
                    },
                    [&] {
                      QWidget* window = dialog.GetWidget();
                      listAfter = dialog.List().GetWidget()->size();
                      closeGapAfter = window->width() - dialog.ControlById(IDCANCEL)->x();
                    }});
  EXPECT_EQ(listAfter, listBefore + QSize(200, 100));
  EXPECT_EQ(closeGapAfter, closeGapBefore);
}

TEST_F(RowsetViewer, DestructionReleasesTheRowsetAndTracesBeforeTheList) {
  Connection trading(TradingDb());
  ComPtr<IRowset> rowset = trading.Command("select * from Desks");
  IRowset* handed = rowset.Get();
  handed->AddRef();
  {
    std::lock_guard<std::mutex> lock(g_traceMutex);
    g_trace.clear();
  }
  const DebugTraceSink previous = SetDebugTraceSink(&RecordTrace);
  {
    CEnumDialog dialog(handed, "Desks", 20);
    RunSteps(dialog, {});
  }
  SetDebugTraceSink(previous);
  handed->AddRef();
  EXPECT_EQ(handed->Release(), 1u);  // only the test's own reference is left
  std::lock_guard<std::mutex> lock(g_traceMutex);
  EXPECT_EQ(g_trace, (std::vector<std::string>{"Destructor de CEnumDialog\n", "Destructor de CCustListCtrl\n"}));
}

TEST_F(RowsetViewer, AViewerNeverShownLeavesNoThreadAndReleasesItsRowset) {
  Connection trading(TradingDb());
  ComPtr<IRowset> rowset = trading.Command("select * from Desks");
  rowset->AddRef();
  { CEnumDialog dialog(rowset.Get(), "Never shown", 20); }
  rowset->AddRef();
  EXPECT_EQ(rowset->Release(), 1u);
}

TEST_F(RowsetViewer, AnEditableViewerHandsTheGridEachRowsBookmarkAndNeverShowsIt) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Table("Desks", true).Detach(), "Data from table", 20);
  dialog.SetTableName("Desks");
  dialog.SetEditingEnabled(TRUE);
  std::vector<std::string> headings, bookmarks;
  RunSteps(dialog, {[&] {
             headings = Headings(dialog.List());
             for (int row = 0; row < dialog.List().GetItemCount(); ++row)
               bookmarks.push_back(dialog.List().GetRowBookmark(row));
           }});
  EXPECT_EQ(headings, (std::vector<std::string>{"code", "name", "city", "budget"}));
  ASSERT_EQ(bookmarks.size(), 3u);
  for (const std::string& bookmark : bookmarks) EXPECT_FALSE(bookmark.empty());
  EXPECT_NE(bookmarks[0], bookmarks[1]);
  EXPECT_NE(bookmarks[1], bookmarks[2]);
}

TEST_F(RowsetViewer, RowsArriveWithoutARepaintPerBatchAndTheEndIsPaintedAtOnce) {
  Connection trading(TradingDb());
  CEnumDialog dialog(trading.Command("select * from Trades").Detach(), "Trades", 20);
  int paints = -1, rows = 0;
  bool pendingAtEnd = true;
  QElapsedTimer elapsed;
  elapsed.start();
  qint64 loadMs = 0;
  RunSteps(dialog, {[&] {
             loadMs = elapsed.elapsed();
             ReportListView* view = dialog.List().View();
             paints = view->PaintCount();
             pendingAtEnd = view->RepaintPending();
             rows = dialog.List().GetItemCount();
           }});
  EXPECT_EQ(rows, kTradeRows);
  // 600 batches; repaints are held to one per 50 ms.
  EXPECT_LE(paints, loadMs / 50 + 5);
  EXPECT_FALSE(pendingAtEnd);
}

TEST_F(RowsetViewer, WithoutARowsetTheListStaysEmptyAndClicksAreIgnored) {
  CEnumDialog dialog(nullptr, "Nothing", 20);
  MessageBoxRecorder boxes;
  int columns = -1;
  RunSteps(dialog, {[&] { ClickHeading(dialog, 0); },
                    [&] { columns = dialog.List().GetHeaderCtrl()->GetItemCount(); }});
  EXPECT_EQ(columns, 0);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(RowsetViewer, AWindowLostWhileLoadingStillEndsItsLoaderWithTheDialog) {
  Connection trading(TradingDb());
  ComPtr<WatchedRowset> watched;
  {
    CEnumDialog dialog(Watch(trading.Command("select * from Trades"), watched), "Trades", 20);
    Trigger lose([&] { delete dialog.GetWidget(); });
    watched->m_afterFetch = [&](int fetches) {
      if (fetches == 10) lose.Fire();
    };
    dialog.DoModal();
  }
  // The loader stopped early and gave every row handle back.
  const auto fetches = watched->FetchSizes();
  EXPECT_LT(fetches.size(), static_cast<size_t>(kTradeRows / 20));
  EXPECT_EQ(watched->Releases().size(), fetches.size());
  watched->AddRef();
  EXPECT_EQ(watched->Release(), 1u);
}

TEST_F(RowsetViewer, ALongTextReachesTheListWhole) {
  ScratchDb db("create table Memo (body text); insert into Memo values (printf('%.300c', 'x'));");
  Connection scratch(db.Path());
  CEnumDialog dialog(scratch.Command("select body from Memo").Detach(), "Memo", 20);
  std::string text;
  RunSteps(dialog, {[&] { text = dialog.List().GetItemText(0, 0).str(); }});
  EXPECT_EQ(text, std::string(300, 'x'));
}

TEST_F(RowsetViewer, HiddenLeadingColumnsOfASchemaRowsetAreNotShown) {
  Connection trading(TradingDb());
  ComPtr<IUnknown> session = trading.Session();
  ComPtr<IRowset> columns;
  ASSERT_EQ(session.As<IDBSchemaRowset>()->GetRowset(nullptr, DBSCHEMA_COLUMNS, 0, nullptr, IID_IRowset, 0, nullptr,
                                                    reinterpret_cast<IUnknown**>(&columns)),
            S_OK);
  CEnumDialog dialog(columns.Detach(), "Schema from table: Desks", 10);
  dialog.SetHiddenColumns(3);
  std::vector<std::string> headings;
  RunSteps(dialog, {[&] { headings = Headings(dialog.List()); }});
  ASSERT_FALSE(headings.empty());
  EXPECT_EQ(headings[0], "COLUMN_NAME");
}

TEST_F(RowsetViewer, ARowsetWithoutCreatorIsNeverSorted) {
  // GetSpecification succeeds with no object (S_FALSE): nothing to re-run,
  // whether or not a table name is known.
  for (const char* table : {"", "Desks"}) {
    SCOPED_TRACE(table);
    ColumnDesc column;
    column.name = u"Name";
    ComPtr<IRowset> memory;
    ASSERT_EQ(CreateMemoryRowset({column}, {{NativeValue::Text("a")}}, nullptr, GUID_NULL, u"Test", IID_IRowset,
                                 reinterpret_cast<IUnknown**>(&memory)),
              S_OK);
    IRowset* handed = memory.Detach();
    CEnumDialog dialog(handed, "Rowset Viewer", 20);
    dialog.SetTableName(table);
    MessageBoxRecorder boxes;
    IRowset* after = nullptr;
    int rows = 0;
    RunSteps(dialog, {[&] { ClickHeading(dialog, 0); },
                      [&] {
                        after = dialog.GetRowset();
                        rows = dialog.List().GetItemCount();
                      }});
    EXPECT_EQ(after, handed);
    EXPECT_EQ(rows, 1);
    EXPECT_TRUE(boxes.Calls().empty());
  }
}
