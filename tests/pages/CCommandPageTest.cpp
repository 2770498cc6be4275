// The Command Processor driven in its sheet against scratch copies of the
// sample database: connecting and picking up, Execute and Enter, commands
// with and without rows, a refused text, and results the provider cannot
// make updatable.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CCommandPage.h"
#include "ComObject.h"
#include "ConnectingPageTest.h"
#include "ErrorRecords.h"
#include "OtherPage.h"
#include "ResourceIds.h"
#include "ScratchDatabase.h"
#include "TablesTestProvider.h"
#include "ViewerWatch.h"

namespace {

using namespace pagetest;

constexpr CLSID CLSID_RefusingCommand = {0x5d1f7e20, 0x3a41, 0x4c55, {0x9b, 0x61, 0x27, 0x0e, 0x8c, 0x44, 0x12, 0x3a}};

// A command over a real one that refuses any text containing "REFUSE", as a
// provider refuses text it cannot take; everything else goes through.
class RefusingCommand : public ComObject<ICommandText, ICommandProperties, ISupportErrorInfo> {
 public:
  explicit RefusingCommand(ComPtr<ICommandText> inner) : m_inner(std::move(inner)) {}

  HRESULT STDMETHODCALLTYPE Cancel() override { return m_inner->Cancel(); }
  HRESULT STDMETHODCALLTYPE Execute(IUnknown* outer, REFIID riid, DBPARAMS* params, DBROWCOUNT* rows,
                                    IUnknown** rowset) override {
    return m_inner->Execute(outer, riid, params, rows, rowset);
  }
  HRESULT STDMETHODCALLTYPE GetDBSession(REFIID riid, IUnknown** session) override {
    return m_inner->GetDBSession(riid, session);
  }
  HRESULT STDMETHODCALLTYPE GetCommandText(GUID* dialect, LPOLESTR* text) override {
    return m_inner->GetCommandText(dialect, text);
  }
  HRESULT STDMETHODCALLTYPE SetCommandText(REFGUID dialect, LPCOLESTR text) override {
    if (text && OleToAnsi(text).find("REFUSE") != std::string::npos)
      return PostError(DB_E_ERRORSINCOMMAND, CLSID_RefusingCommand, IID_ICommandText, u"Refusing Command",
                       "This command text is refused.");
    return m_inner->SetCommandText(dialect, text);
  }
  HRESULT STDMETHODCALLTYPE GetProperties(const ULONG count, const DBPROPIDSET sets[], ULONG* outCount,
                                          DBPROPSET** outSets) override {
    return m_inner.As<ICommandProperties>()->GetProperties(count, sets, outCount, outSets);
  }
  HRESULT STDMETHODCALLTYPE SetProperties(ULONG count, DBPROPSET sets[]) override {
    return m_inner.As<ICommandProperties>()->SetProperties(count, sets);
  }
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID) override { return S_OK; }

 private:
  ComPtr<ICommandText> m_inner;
};

using CommandOtherPage = OtherPage<IDD_TABLE_ANALYZER>;

class CommandPageTest : public ConnectingPageTest<CCommandPage> {
 protected:
  void SetUp() override {
    other = new CommandOtherPage;
    page = new CCommandPage;
    BuildSheet({other, page});
  }

  QPlainTextEdit* Edit() { return qobject_cast<QPlainTextEdit*>(page->ControlById(IDC_COMMAND_TEXT)); }
  void Type(const std::string& text) {
    Edit()->clear();
    QTest::keyClicks(Edit(), QString::fromStdString(text));
  }
  void Execute(const std::string& text) {
    Type(text);
    Press(IDC_EXECUTE);
  }
  std::string Status() { return qobject_cast<QLabel*>(page->ControlById(IDC_COMMAND_STATUS))->text().toStdString(); }

  CommandOtherPage* other = nullptr;
};

// ---- connecting ------------------------------------------------------------------

TEST_F(CommandPageTest, WithoutAConnectionTypingEnablesExecuteWhichDoesNothing) {
  EXPECT_FALSE(Enabled(IDC_EXECUTE));
  ViewerWatch watch;
  Execute("SELECT 1");
  EXPECT_TRUE(Enabled(IDC_EXECUTE));
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_TRUE(watch.seen.empty());
  EXPECT_EQ(Status(), "");
}

TEST_F(CommandPageTest, ConnectMakesTheCommandObjectAndAnotherPagesConnectDropsItUntilActivationPicksUp) {
  ScratchDatabase db("trading.db");
  Connect(db.Path());
  EXPECT_TRUE(boxes.Calls().empty());
  ASSERT_NE(page->m_pCommandText, nullptr);
  Execute("DELETE FROM Notes WHERE 0");
  EXPECT_EQ(Status(), "0 rows affected");

  sheet->SetActivePage(0);
  boxes.Answer(IDYES);
  other->Connect();  // the other page picked the connection up, so it asks first
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  boxes.Clear();
  EXPECT_EQ(page->m_pCommandText, nullptr);
  EXPECT_FALSE(Enabled(IDC_EXECUTE));
  EXPECT_EQ(Status(), "");

  sheet->SetActivePage(1);
  EXPECT_NE(page->m_pCommandText, nullptr);
  EXPECT_EQ(dataLinks.script.prompts, 2);
  EXPECT_FALSE(Enabled(IDC_EXECUTE));  // the old text is there, but not changed since
  EXPECT_EQ(Edit()->toPlainText().toStdString(), "DELETE FROM Notes WHERE 0");
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(CommandPageTest, ADataSourceWithoutCommandsIsReportedAndLeavesThePageUnconnected) {
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(SamplePath("trading.db"));
  TablesProviderScript script;
  script.commands = false;
  ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
  sheet->SetActivePage(0);
  provider->AddRef();
  sheet->m_pDataSource = provider.Get();
  sheet->SetActivePage(1);
  ASSERT_FALSE(boxes.Calls().empty());
  EXPECT_EQ(boxes.Texts().back(), "Could not get command object");
  EXPECT_EQ(boxes.Calls().back().type, MB_ICONINFORMATION);
  EXPECT_EQ(page->m_pCommandText, nullptr);
  // Every activation tries again.
  boxes.Clear();
  sheet->SetActivePage(0);
  sheet->SetActivePage(1);
  EXPECT_EQ(boxes.Texts().back(), "Could not get command object");
}

// ---- commands without rows ---------------------------------------------------------

TEST_F(CommandPageTest, AnInsertOfTwoRowsReachesTheFileAndSaysSoWithoutAViewer) {
  ScratchDatabase db("trading.db");
  const std::string before = db.Query("SELECT COUNT(*) FROM Notes");
  Connect(db.Path());
  ViewerWatch watch;
  Execute("INSERT INTO Notes (title, body) VALUES ('one', 'x'), ('two', 'y')");
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_TRUE(watch.seen.empty());
  EXPECT_EQ(Status(), "2 rows affected");
  EXPECT_EQ(std::stoi(db.Query("SELECT COUNT(*) FROM Notes")), std::stoi(before) + 2);

  Execute("UPDATE Notes SET body = 'z' WHERE title = 'one'");
  EXPECT_EQ(Status(), "1 row affected");
  EXPECT_EQ(db.Query("SELECT body FROM Notes WHERE title = 'one'"), "z");
  EXPECT_TRUE(Enabled(IDC_EXECUTE));  // the same text can run again
}

TEST_F(CommandPageTest, ARefusedTextIsReportedAndThePreviousCommandDoesNotRunAgain) {
  ScratchDatabase db("trading.db");
  Connect(db.Path());
  ComPtr<ICommandText> inner;
  inner.Attach(std::exchange(page->m_pCommandText, nullptr));
  ASSERT_EQ(ComObject<ICommandText>::CreateInstance<RefusingCommand>(
                IID_ICommandText, reinterpret_cast<void**>(&page->m_pCommandText), inner),
            S_OK);
  Execute("DELETE FROM Notes");
  ASSERT_EQ(db.Query("SELECT COUNT(*) FROM Notes"), "0");
  db.Exec("INSERT INTO Notes (title) VALUES ('kept')");

  Execute("REFUSE this");
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"This command text is refused."});
  EXPECT_EQ(boxes.Calls()[0].caption, "Refusing Command");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM Notes"), "1");
  EXPECT_EQ(Status(), "");
}

TEST_F(CommandPageTest, BadOrEmptyTextShowsTheProvidersRecordsAndNoViewer) {
  Connect(SamplePath("trading.db"));
  ViewerWatch watch;
  Execute("SELEKT nothing");
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_NE(boxes.Calls()[0].caption, AfxGetAppName().str());
  boxes.Clear();
  Execute("");
  EXPECT_EQ(boxes.Calls().size(), 1u);
  EXPECT_TRUE(watch.seen.empty());
}

// ---- commands with rows -----------------------------------------------------------

TEST_F(CommandPageTest, ASelectOpensAnEditableGridEachTimeAndAnEditReachesTheFile) {
  ScratchDatabase db("trading.db");
  Connect(db.Path());
  ViewerWatch watch([&](CEnumDialog& viewer) {
    if (watch.seen.size() != 1) return;
    CCustListCtrl& list = viewer.List();
    QWidget* grid = list.View();
    QTest::keyClick(grid, Qt::Key_F2);
    QTest::keyClick(grid, Qt::Key_Tab);  // the quantity
    QTest::keyClick(grid, Qt::Key_End);
    const int length = list.GetItemText(0, 1).GetLength();
    for (int i = 0; i < length; ++i) QTest::keyClick(grid, Qt::Key_Backspace);
    QTest::keyClicks(grid, "77");
    QTest::keyClick(grid, Qt::Key_Return);
  });
  Execute("SELECT id, quantity FROM Trades ORDER BY id");
  Press(IDC_EXECUTE);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 2u);
  EXPECT_EQ(watch.seen[0].caption, "Data from query");
  EXPECT_EQ(watch.seen[0].headings, (std::vector<std::string>{"id", "quantity"}));
  EXPECT_TRUE(watch.seen[0].editing);
  EXPECT_EQ(watch.seen[1].rows[0][1], "77");  // the second run read the file afresh
  EXPECT_EQ(db.Query("SELECT quantity FROM Trades ORDER BY id LIMIT 1"), "77");
  EXPECT_EQ(Status(), "");
}

TEST_F(CommandPageTest, AJoinTheProviderCannotUpdateOpensReadOnly) {
  Connect(SamplePath("trading.db"));
  ViewerWatch watch;
  Execute("SELECT o.id, t.name FROM Orders o JOIN Traders t ON t.id = o.trader_id");
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_FALSE(watch.seen[0].editing);
  EXPECT_FALSE(watch.seen[0].rows.empty());
  EXPECT_EQ(Status(), "Read-only: the provider cannot change these rows");

  // The next updatable select asks for changes again.
  Execute("SELECT id FROM Orders");
  ASSERT_EQ(watch.seen.size(), 2u);
  EXPECT_TRUE(watch.seen[1].editing);
}

// ---- the keyboard -------------------------------------------------------------------

TEST_F(CommandPageTest, EnterInTheCommandRunsItAndCtrlEnterStartsANewLine) {
  ScratchDatabase db("trading.db");
  Connect(db.Path());
  Type("INSERT INTO Notes (title)");
  QTest::keyClick(Edit(), Qt::Key_Return, Qt::ControlModifier);
  QTest::keyClicks(Edit(), "VALUES ('typed')");
  EXPECT_EQ(Edit()->toPlainText().toStdString(), "INSERT INTO Notes (title)\nVALUES ('typed')");
  QTest::keyClick(Edit(), Qt::Key_Return);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_EQ(Status(), "1 row affected");
  EXPECT_EQ(db.Query("SELECT COUNT(*) FROM Notes WHERE title = 'typed'"), "1");
  EXPECT_EQ(sheet->GetDefID(), static_cast<DWORD>(IDCANCEL));  // the sheet keeps Close
}

}  // namespace
