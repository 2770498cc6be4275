// The editable viewer on the SQLite provider, driven as a user drives it:
// writes while rows load, a table of many rows edited near its end, every
// way of closing with an edit not yet written, a slow first fetch cancelled
// by closing, and a fetch that fails part-way.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QAbstractButton>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "CEnumDialog.h"
#include "ComObject.h"
#include "ErrorRecords.h"
#include "ForwardingRowset.h"
#include "MessageBoxRecorder.h"
#include "ProviderTestSupport.h"
#include "ReportListView.h"
#include "Resources.h"
#include "SqliteProvider.h"
#include "TestEnvironment.h"
#include "objbase.h"

namespace {

constexpr int kBigRows = 100000;
const std::string kStillLoading = "Rows are still loading; try again when loading has finished.";
// What the Table Analyzer's Data asks of the rowset it shows.
const std::vector<RowsetProperty> kTableData = {{DBPROP_IRowsetLocate, 1}, {DBPROP_IRowsetChange, 1}};

// Drives a running viewer through its list, as the user's keys and mouse do.
class GridHands {
 public:
  explicit GridHands(CEnumDialog& dialog) : m_dialog(dialog), m_grid(dialog.List()) {}
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(m_grid.View(), key, modifiers);
    m_grid.UpdateWindow();
  }
  void Type(const std::string& text) {
    QTest::keyClicks(m_grid.View(), text.c_str());
    m_grid.UpdateWindow();
  }
  void Click(int row, int column) {
    m_grid.EnsureVisible(row, FALSE);
    RECT rect;
    m_grid.GetSubItemRect(row, column, LVIR_LABEL, rect);
    const QPoint at(rect.left + 5, (rect.top + rect.bottom) / 2 - m_grid.View()->HeaderHeight());
    QTest::mouseClick(m_grid.View()->viewport(), Qt::LeftButton, {}, at);
    m_grid.UpdateWindow();
  }
  // Opens the current cell, empties it and types `text` (in a cell wide
  // enough to show it).
  void Retype(const std::string& text) {
    m_grid.SetColumnWidth(m_grid.Editor().Column(), 400);
    Key(Qt::Key_F2);
    Key(Qt::Key_End);
    while (m_grid.Editor().IsCaretActive() && m_grid.Editor().CaretPosition() > 0) Key(Qt::Key_Backspace);
    Type(text);
  }
  void Close() { static_cast<QAbstractButton*>(m_dialog.ControlById(IDCANCEL))->click(); }
  std::string Cell(int row, int column) { return m_grid.GetItemText(row, column).GetString(); }

 private:
  CEnumDialog& m_dialog;
  CCustListCtrl& m_grid;
};

// Runs the viewer modally: `during` once while rows load (when given),
// then each step after loading; the viewer is closed after the last step
// unless a step closed it. A viewer that stays open (an edit it could not
// write) is ended, so a failing test does not hang; the result says so.
bool RunViewer(CEnumDialog& dialog, std::function<void()> during, std::vector<std::function<void()>> steps) {
  size_t next = 0;
  bool closeRefused = false;
  QTimer timer;
  timer.setInterval(1);
  QObject::connect(&timer, &QTimer::timeout, [&] {
    if (!dialog.HasWindow()) return;
    if (dialog.IsLoading()) {
      if (during && dialog.List().GetItemCount() >= 100) std::exchange(during, nullptr)();
      return;
    }
    if (next < steps.size()) {
      steps[next++]();
      return;
    }
    if (next++ > steps.size()) {
      closeRefused = true;
      dialog.EndDialog(IDABORT);
      return;
    }
    static_cast<QAbstractButton*>(dialog.ControlById(IDCANCEL))->click();
  });
  timer.start();
  dialog.DoModal();
  return !closeRefused;
}

class EditableViewer : public testing::Test {
 protected:
  void SetUp() override { RegisterDialogTemplates(); }
  // An editable viewer on the rowset of `sql` as the table data view opens it.
  std::unique_ptr<CEnumDialog> Viewer(const std::string& path, const std::string& sql) {
    m_source = OpenDataSource(CLSID_RavezovSQLite, path);
    m_session = CreateSession(m_source);
    CommandResult result = Execute(m_session, sql, kTableData);
    EXPECT_TRUE(result.rowset) << sql;
    auto dialog = std::make_unique<CEnumDialog>(result.rowset.Detach(), "Data from table", 20);
    dialog->SetEditingEnabled(TRUE);
    return dialog;
  }
  // What the file holds, through a connection of its own.
  static std::vector<TextRow> Query(const std::string& path, const std::string& sql) {
    auto source = OpenDataSource(CLSID_RavezovSQLite, path);
    CommandResult result = Execute(CreateSession(source), sql);
    return result.rowset ? ReadAll(result.rowset) : std::vector<TextRow>{};
  }
  static std::string Scalar(const std::string& path, const std::string& sql) {
    auto rows = Query(path, sql);
    return rows.empty() ? "<no row>" : rows[0][0].value_or("<null>");
  }

  ComApartment m_apartment;
  ComPtr<IDBInitialize> m_source;
  ComPtr<IUnknown> m_session;
};

// A database of its own with a table of many rows, removed afterwards.
class BigTable {
 public:
  BigTable() {
    m_path = (std::filesystem::temp_directory_path() / ("ravezov-big-" + std::to_string(::getpid()) + ".db")).string();
    std::filesystem::remove(m_path);
    sqlite3* db = nullptr;
    sqlite3_open(m_path.c_str(), &db);
    const std::string sql =
        "create table Big (id integer primary key, name text, qty integer);"
        "with recursive c(x) as (select 1 union all select x + 1 from c where x < " +
        std::to_string(kBigRows) + ") insert into Big select x, 'row ' || x, x % 7 from c;";
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  ~BigTable() { std::filesystem::remove(m_path); }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// Deleting during the load once stored every later row's bookmark under its
// neighbour, so the last row's delete removed the row before it; Enter and
// Insert went the same way. Now each waits for the load to end, and then a
// delete and an edit near the end of the table reach exactly the rows shown,
// long after the rows before them were released.
TEST_F(EditableViewer, WritesWaitForTheLoadAndThenReachExactlyTheRowsShown) {
  BigTable big;
  auto dialog = Viewer(big.Path(), "select * from Big");
  GridHands hands(*dialog);
  MessageBoxRecorder boxes;
  std::vector<std::string> refusals;
  bool stillLoading = false;
  int rows = 0;
  std::string lastId, editedId;
  const bool closed = RunViewer(
      *dialog,
      [&] {
        hands.Click(3, 0);
        hands.Key(Qt::Key_Delete);
        hands.Click(3, 1);
        hands.Retype("typed while loading");
        hands.Key(Qt::Key_Return);
        hands.Key(Qt::Key_Escape);
        hands.Key(Qt::Key_Insert);
        refusals = boxes.Texts();
        stillLoading = dialog->IsLoading();
        boxes.Clear();
      },
      {[&] {
         rows = dialog->List().GetItemCount();
         hands.Click(0, 0);
         hands.Key(Qt::Key_End);  // the last row
         lastId = hands.Cell(rows - 1, 0);
         hands.Key(Qt::Key_Delete);
         editedId = hands.Cell(rows - 2, 0);  // now current
         hands.Key(Qt::Key_Right);  // Tab would go to the Close button
         hands.Retype("edited near the end");
         hands.Key(Qt::Key_Return);
       }});
  EXPECT_TRUE(closed);
  EXPECT_TRUE(stillLoading);
  EXPECT_EQ(refusals, std::vector<std::string>(3, kStillLoading));
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Calls()[0].text;
  EXPECT_EQ(rows, kBigRows);
  EXPECT_EQ(lastId, std::to_string(kBigRows));
  EXPECT_EQ(editedId, std::to_string(kBigRows - 1));
  EXPECT_EQ(Scalar(big.Path(), "select count(*) || ' ' || max(id) from Big"),
            std::to_string(kBigRows - 1) + " " + std::to_string(kBigRows - 1));
  EXPECT_EQ(Scalar(big.Path(), "select group_concat(id) from Big where name not like 'row %'"), editedId);
  EXPECT_EQ(Scalar(big.Path(), "select name from Big where id = " + editedId), "edited near the end");
  EXPECT_EQ(Scalar(big.Path(), "select count(*) from Big where id = 4"), "1");
}

TEST_F(EditableViewer, ClosingWritesTheChangedCellOrStaysOpenWithItWhenTheWriteFails) {
  TempFileCopy copy(std::string(SamplesDir()) + "/trading.db");
  const std::string original = Scalar(copy.Path(), "select email from Traders order by id limit 1");
  const std::string taken = Scalar(copy.Path(), "select email from Traders order by id limit 1 offset 1");
  auto dialog = Viewer(copy.Path(), "select * from Traders order by id");
  GridHands hands(*dialog);
  MessageBoxRecorder boxes;
  bool openAfterFailure = false, caretKept = false;
  std::string typedKept;
  RunViewer(*dialog, nullptr,
            {[&] {
               hands.Click(0, 2);
               hands.Retype(taken);  // email is UNIQUE
               hands.Close();
               openAfterFailure = dialog->HasWindow();
               caretKept = dialog->List().Editor().IsCaretActive();
               typedKept = dialog->List().Editor().Text();
             },
             [&] {
               hands.Retype(original);  // as stored: nothing to write
               hands.Click(0, 1);
               hands.Retype("Written on close");
               hands.Close();
             }});
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_NE(boxes.Calls()[0].text.find("UNIQUE"), std::string::npos) << boxes.Calls()[0].text;
  EXPECT_TRUE(openAfterFailure);
  EXPECT_TRUE(caretKept);
  EXPECT_EQ(typedKept, taken);
  EXPECT_EQ(Scalar(copy.Path(), "select email || ' ' || name from Traders order by id limit 1"),
            original + " Written on close");
}

TEST_F(EditableViewer, ClosingWritesAPendingNewRow) {
  TempFileCopy copy(std::string(SamplesDir()) + "/trading.db");
  auto dialog = Viewer(copy.Path(), "select * from Desks order by code");
  GridHands hands(*dialog);
  MessageBoxRecorder boxes;
  RunViewer(*dialog, nullptr, {[&] {
              hands.Key(Qt::Key_Insert);
              hands.Type("NW");
              hands.Key(Qt::Key_Tab);
              dialog->List().SetColumnWidth(1, 400);
              hands.Type("Newsroom");
              hands.Close();
            }});
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Calls()[0].text;
  EXPECT_EQ(Scalar(copy.Path(), "select name from Desks where code = 'NW'"), "Newsroom");
}

// Passes a real rowset's calls through; its first fetch can stand for a
// provider still computing the first rows (it waits for the command's
// Cancel), and a later fetch can fail with an error record.
class ScriptedRowset : public ForwardingRowset {
 public:
  class Command : public ComObject<ICommand> {
   public:
    explicit Command(ScriptedRowset& rowset) : m_rowset(rowset) {}
    HRESULT STDMETHODCALLTYPE Cancel() override {
      m_rowset.Cancelled();
      return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Execute(IUnknown*, REFIID, DBPARAMS*, DBROWCOUNT*, IUnknown**) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDBSession(REFIID, IUnknown**) override { return E_NOTIMPL; }

   private:
    ScriptedRowset& m_rowset;
  };

  using ForwardingRowset::ForwardingRowset;

  HRESULT STDMETHODCALLTYPE GetNextRows(HCHAPTER chapter, DBROWOFFSET offset, DBROWCOUNT rows,
                                        DBCOUNTITEM* obtained, HROW** handles) override {
    const int fetch = ++m_fetches;
    if (fetch == 1 && m_slowFirstFetch) {
      std::unique_lock<std::mutex> lock(m_mutex);
      m_wake.wait_for(lock, std::chrono::seconds(20), [this] { return m_cancelled; });
      if (m_cancelled) {
        *obtained = 0;
        return PostError(DB_E_CANCELED, GUID_NULL, IID_IRowset, u"Test.Provider", "Cancelled.");
      }
    }
    if (fetch == m_failingFetch) {
      *obtained = 0;
      return PostError(E_FAIL, GUID_NULL, IID_IRowset, u"Test.Provider", "The disk went away.");
    }
    return m_inner->GetNextRows(chapter, offset, rows, obtained, handles);
  }
  HRESULT STDMETHODCALLTYPE GetSpecification(REFIID riid, IUnknown** creator) override {
    if (riid != IID_ICommand) return m_inner.As<IRowsetInfo>()->GetSpecification(riid, creator);
    *creator = new Command(*this);
    return S_OK;
  }


  void Cancelled() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_cancelled = true;
    m_wake.notify_all();
  }
  bool WasCancelled() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_cancelled;
  }

  bool m_slowFirstFetch = false;
  int m_failingFetch = 0;

 private:
  std::atomic<int> m_fetches{0};
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_cancelled = false;
};

class ScriptedViewer : public EditableViewer {
 protected:
  ScriptedRowset* Scripted(const std::string& sql) {
    m_source = OpenDataSource(CLSID_RavezovSQLite, m_copy.Path());
    m_session = CreateSession(m_source);
    CommandResult result = Execute(m_session, sql);
    EXPECT_TRUE(result.rowset);
    m_rowset.Attach(new ScriptedRowset(result.rowset));
    return m_rowset.Get();
  }
  IRowset* Handed() {
    m_rowset->AddRef();
    return m_rowset.Get();
  }

  TempFileCopy m_copy{std::string(SamplesDir()) + "/trading.db"};
  ComPtr<ScriptedRowset> m_rowset;
};

TEST_F(ScriptedViewer, ClosingWhileTheFirstRowsAreComputedCancelsTheCommand) {
  ScriptedRowset* rowset = Scripted("select * from Trades");
  rowset->m_slowFirstFetch = true;
  CEnumDialog dialog(Handed(), "Data from query", 20);
  MessageBoxRecorder boxes;
  int shown = -1;
  QTimer::singleShot(50, [&] {
    QObject::connect(static_cast<QDialog*>(dialog.GetWidget()), &QDialog::finished,
                     [&] { shown = dialog.List().GetItemCount(); });
    static_cast<QAbstractButton*>(dialog.ControlById(IDCANCEL))->click();
  });
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_TRUE(rowset->WasCancelled());
  EXPECT_EQ(shown, 0);
  EXPECT_TRUE(boxes.Calls().empty());  // a cancel the user asked for is no failure
}

TEST_F(ScriptedViewer, AFetchThatFailsPartWayIsReportedNotTakenForTheEnd) {
  ScriptedRowset* rowset = Scripted("select * from Trades");
  rowset->m_failingFetch = 4;
  CEnumDialog dialog(Handed(), "Data from query", 20);
  MessageBoxRecorder boxes;
  int shown = -1;
  RunViewer(dialog, nullptr, {[&] { shown = dialog.List().GetItemCount(); }});
  EXPECT_EQ(shown, 60);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "The disk went away.");
  EXPECT_EQ(boxes.Calls()[0].caption, "Test.Provider");
}

}  // namespace
