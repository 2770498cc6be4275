// The Table Analyzer driven in its sheet against the sample databases and
// a provider laid over them: the listing, connecting and picking up, the
// qualified names, and the data and schema views with their routes.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "CEnumDialog.h"
#include "CTablesPage.h"
#include "ConnectingPageTest.h"
#include "OtherPage.h"
#include "ResourceIds.h"
#include "ScratchDatabase.h"
#include "TablesTestProvider.h"
#include "TestEnvironment.h"
#include "ViewerWatch.h"

namespace {

using pagetest::Headings;
using pagetest::ListRows;
using pagetest::Rows;
using pagetest::ViewerWatch;
using ScratchDb = pagetest::ScratchDatabase;
const auto Sample = pagetest::SamplePath;
const auto InitString = pagetest::SqliteInitString;

std::vector<std::string> g_trace;
std::mutex g_traceMutex;
void RecordTrace(const char* text) {
  std::lock_guard<std::mutex> lock(g_traceMutex);
  g_trace.emplace_back(text);
}

using TablesOtherPage = pagetest::OtherPage<IDD_COMMAND_PROCESSOR>;

class TablesPageTest : public pagetest::ConnectingPageTest<CTablesPage> {
 protected:
  void SetUp() override {
    other = new TablesOtherPage;
    page = new CTablesPage;
    BuildSheet({other, page});
  }

  // Makes `provider` the sheet's data source and lets the page pick it up.
  void PickUp(IDBInitialize* provider) {
    page->QuerySiblings(0, 0);
    sheet->SetActivePage(0);
    sheet->ReleaseDataSource();
    provider->AddRef();
    sheet->m_pDataSource = provider;
    sheet->SetActivePage(1);
  }
  std::vector<std::string> Listed() {
    std::vector<std::string> names;
    for (const auto& row : ListRows(page->m_list)) names.push_back(row[0]);
    return names;
  }
  void Select(const std::string& name) { pagetest::SelectRow(page->m_list, name); }

  TablesOtherPage* other = nullptr;
};

const std::vector<std::string> kTradingTables = {"Desks",  "Instruments", "Notes", "Order Details",
                                                 "Orders", "Traders",     "Trades"};

// ---- listing ---------------------------------------------------------------------

TEST_F(TablesPageTest, ListsOnlyTheTablesWithTheirCatalogAndSchema) {
  EXPECT_FALSE(Enabled(IDC_TABLES_DATA));
  EXPECT_FALSE(Enabled(IDC_TABLES_SCHEMA));
  Connect(Sample("trading.db"));
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(Headings(page->m_list), (std::vector<std::string>{"Table Name", "Catalog", "Schema"}));
  auto names = Listed();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, kTradingTables);  // no view, no system table
  const Rows rows = ListRows(page->m_list);
  for (const auto& row : rows) EXPECT_EQ(row, (std::vector<std::string>{row[0], "main", ""}));
  EXPECT_TRUE(Enabled(IDC_TABLES_DATA));
  EXPECT_TRUE(Enabled(IDC_TABLES_SCHEMA));
}

TEST_F(TablesPageTest, AnEmptyDatabaseLeavesTheListEmptyWithDataAndSchemaEnabled) {
  Connect(Sample("empty.db"));
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(page->m_list.GetItemCount(), 0);
  EXPECT_NE(page->m_pSchemaRowset, nullptr);
  EXPECT_TRUE(Enabled(IDC_TABLES_DATA));
  EXPECT_TRUE(Enabled(IDC_TABLES_SCHEMA));
}

// ---- connecting ------------------------------------------------------------------

TEST_F(TablesPageTest, AConnectionOnAnotherPageEmptiesTheListAndActivationListsTheNewSourceWithoutAQuestion) {
  ScratchDb fresh(nullptr, "CREATE TABLE Fresh (id INTEGER); CREATE VIEW FreshView AS SELECT * FROM Fresh;");
  Connect(Sample("trading.db"));
  ASSERT_EQ(Listed().size(), kTradingTables.size());
  sheet->SetActivePage(0);  // the other page picks the connection up, so it asks
  dataLinks.script.initString = InitString(fresh.Path());
  boxes.Answer(IDYES);
  other->Connect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  boxes.Clear();
  EXPECT_EQ(page->m_list.GetItemCount(), 0);
  EXPECT_EQ(page->m_pSchemaRowset, nullptr);
  EXPECT_FALSE(Enabled(IDC_TABLES_DATA));
  EXPECT_FALSE(Enabled(IDC_TABLES_SCHEMA));
  sheet->SetActivePage(1);
  EXPECT_EQ(Listed(), std::vector<std::string>{"Fresh"});
  EXPECT_TRUE(Enabled(IDC_TABLES_DATA));
  EXPECT_EQ(dataLinks.script.prompts, 2);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
}

TEST_F(TablesPageTest, ReconnectingAsksFirstThenEmptiesThePageEvenWhenDataLinksIsCancelled) {
  Connect(Sample("trading.db"));
  boxes.Answer(IDNO);
  page->OnConnect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(Listed().size(), kTradingTables.size());
  EXPECT_EQ(dataLinks.script.prompts, 1);
  boxes.Clear();
  boxes.Answer(IDYES);
  dataLinks.script.initString.clear();
  page->OnConnect();
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Close current connection?"});
  EXPECT_EQ(page->m_list.GetItemCount(), 0);
  EXPECT_EQ(page->m_pSchemaRowset, nullptr);
  EXPECT_FALSE(Enabled(IDC_TABLES_DATA));
}

TEST_F(TablesPageTest, TheSelectionComesBackAfterTheUserLeavesThePage) {
  Connect(Sample("trading.db"));
  Select("Orders");
  sheet->SetActivePage(0);
  page->m_list.SetItemState(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  sheet->SetActivePage(1);
  const int selected = page->m_list.GetNextItem(-1, LVNI_SELECTED);
  ASSERT_GE(selected, 0);
  EXPECT_EQ(page->m_list.GetItemText(selected, 0).str(), "Orders");
  EXPECT_EQ(page->m_list.GetSelectedCount(), 1u);
}

TEST_F(TablesPageTest, ARefusedListingIsReportedAndKeepsTheSessionWithTheButtonsOffUntilTheNextConnect) {
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(Sample("trading.db"));
  TablesProviderScript script;
  script.tablesFail = true;
  ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
  PickUp(provider.Get());
  EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Tables are not listed today.", "Could not get properties"}));
  EXPECT_EQ(boxes.Calls()[1].type, MB_ICONINFORMATION);
  EXPECT_NE(page->m_pSchemaRowset, nullptr);
  EXPECT_EQ(page->m_list.GetItemCount(), 0);
  EXPECT_FALSE(Enabled(IDC_TABLES_DATA));
  EXPECT_FALSE(Enabled(IDC_TABLES_SCHEMA));
  // Holding a session, the page does not list again when shown.
  boxes.Clear();
  script.tablesFail = false;
  sheet->SetActivePage(0);
  sheet->SetActivePage(1);
  EXPECT_TRUE(boxes.Calls().empty());
  EXPECT_EQ(page->m_list.GetItemCount(), 0);
}

// ---- qualified names through the provider's literals ----------------------------

struct NamingCase {
  const char* what;
  std::function<void(TablesProviderScript&)> adjust;
  const char* table;
  const char* expected;
};

TEST_F(TablesPageTest, TheQualifiedNameFollowsTheProvidersLiteralsAndCatalogLocation) {
  const std::vector<NamingCase> cases = {
      {"catalog in front", [](TablesProviderScript&) {}, "Order Lines", "Sales.dbo.[Order Lines]"},
      {"catalog at the end",
       [](TablesProviderScript& s) {
         s.catalogLocation = 2;  // DBPROPVAL_CL_END
         s.catalogSeparator = u":";
       },
       "Order Lines", "dbo.[Order Lines]:Sales"},
      {"catalog unsupported", [](TablesProviderScript& s) { s.catalogSupported = false; }, "Order Lines",
       "dbo.[Order Lines]"},
      {"empty schema", [](TablesProviderScript&) {}, "Loose Ends", "Sales.[Loose Ends]"},
      {"no IDBInfo", [](TablesProviderScript& s) { s.hasDbInfo = false; }, "Order Lines", "Order Lines"},
      {"no quotes needed", [](TablesProviderScript&) {}, "Orders", "Sales.dbo.Orders"},
      {"quote suffix inside", [](TablesProviderScript&) {}, "Odd] Name", "Sales.dbo.[Odd]] Name]"},
  };
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(Sample("trading.db"));
  ASSERT_TRUE(sqlite);
  for (const auto& naming : cases) {
    TablesProviderScript script;
    script.tables = std::vector<FakeTableRow>{{"Order Lines", "Sales", "dbo"},
                                              {"Orders", "Sales", "dbo"},
                                              {"Loose Ends", "Sales", ""},
                                              {"Odd] Name", "Sales", "dbo"}};
    naming.adjust(script);
    ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
    PickUp(provider.Get());
    Select(naming.table);
    page->UpdateData(TRUE);
    EXPECT_EQ(page->BuildQualifiedName().str(), naming.expected) << naming.what;
  }
  EXPECT_TRUE(boxes.Calls().empty());
}

// ---- the data view ---------------------------------------------------------------

TEST_F(TablesPageTest, DataOpensATableWithASpaceEditableAndAnEditReachesTheFile) {
  ScratchDb db("trading.db");
  Connect(db.Path());
  Select("Order Details");
  std::string orderId, lineNo;
  bool locatable = false;
  ViewerWatch watch([&](CEnumDialog& viewer) {
    // The command asked for row positions as a required property.
    locatable = ComPtr<IRowset>(viewer.GetRowset()).As<IRowsetLocate>() != nullptr;
    CCustListCtrl& list = viewer.List();
    orderId = list.GetItemText(0, 0).str();
    lineNo = list.GetItemText(0, 1).str();
    const int length = list.GetItemText(0, 3).GetLength();
    QWidget* grid = list.View();
    QTest::keyClick(grid, Qt::Key_F2);
    for (int i = 0; i < 3; ++i) QTest::keyClick(grid, Qt::Key_Tab);
    QTest::keyClick(grid, Qt::Key_End);
    for (int i = 0; i < length; ++i) QTest::keyClick(grid, Qt::Key_Backspace);
    QTest::keyClicks(grid, "77");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(list.GetItemText(0, 3).str(), "77");
  });
  g_trace.clear();
  const DebugTraceSink previous = SetDebugTraceSink(&RecordTrace);
  Press(IDC_TABLES_DATA);
  SetDebugTraceSink(previous);

  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].caption, "Data from table: Order Details");
  EXPECT_EQ(watch.seen[0].rows.size(), 14u);
  EXPECT_EQ(watch.seen[0].headings,
            (std::vector<std::string>{"order_id", "line_no", "symbol", "quantity", "limit_price"}));
  EXPECT_TRUE(watch.seen[0].editing);
  EXPECT_TRUE(locatable);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  EXPECT_EQ(db.Query("SELECT quantity FROM \"Order Details\" WHERE order_id = " + orderId +
                     " AND line_no = " + lineNo),
            "77");
  const auto traced = std::find(g_trace.begin(), g_trace.end(), "OnData\n");
  ASSERT_NE(traced, g_trace.end());
  EXPECT_EQ(std::count(g_trace.begin(), g_trace.end(), "OnData\n"), 1);
  EXPECT_NE(std::find(traced, g_trace.end(), "Destructor de CEnumDialog\n"), g_trace.end());
}

TEST_F(TablesPageTest, ATableNamedWithTheQuoteSuffixAndASpaceOpensItsOwnRows) {
  ScratchDb db("trading.db",
               "CREATE TABLE \"Odd\"\"Name x\" (id INTEGER PRIMARY KEY, label TEXT);"
               "INSERT INTO \"Odd\"\"Name x\" VALUES (1, 'inside');");
  Connect(db.Path());
  Select("Odd\"Name x");
  page->UpdateData(TRUE);
  EXPECT_EQ(page->BuildQualifiedName().str(), "main.\"Odd\"\"Name x\"");
  ViewerWatch watch;
  Press(IDC_TABLES_DATA);
  Press(IDC_TABLES_SCHEMA);
  EXPECT_TRUE(boxes.Calls().empty()) << boxes.Texts()[0];
  ASSERT_EQ(watch.seen.size(), 2u);
  EXPECT_EQ(watch.seen[0].rows, (Rows{{"1", "inside"}}));
  EXPECT_EQ(watch.seen[1].caption, "Schema from table: Odd\"Name x");
  EXPECT_EQ(watch.seen[1].rows.size(), 2u);
}

TEST_F(TablesPageTest, ADoubleClickWithNoSelectionEndsInTheProvidersErrorRecords) {
  Connect(Sample("empty.db"));
  ViewerWatch watch;
  g_trace.clear();
  const DebugTraceSink previous = SetDebugTraceSink(&RecordTrace);
  QWidget* viewport = page->m_list.View()->viewport();
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(5, viewport->height() - 3));
  SetDebugTraceSink(previous);
  EXPECT_TRUE(watch.seen.empty());
  EXPECT_EQ(std::count(g_trace.begin(), g_trace.end(), "OnData\n"), 0);
  EXPECT_EQ(page->m_strTable.str(), "");
  ASSERT_FALSE(boxes.Calls().empty());
  EXPECT_EQ(boxes.Calls()[0].type, MB_ICONERROR);
  EXPECT_NE(boxes.Calls()[0].caption, AfxGetAppName().str());  // the record's source
  EXPECT_NE(boxes.Calls()[0].text, "Could not get properties");
}

TEST_F(TablesPageTest, WithoutCommandsTheTableOpensDirectlyAndANameWithASpaceIsRetriedInBrackets) {
  ScratchDb db("trading.db");
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(db.Path());
  TablesProviderScript script;
  script.commands = false;
  script.bracketedNamesOnly = true;
  ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
  PickUp(provider.Get());
  ViewerWatch watch;
  Select("Order Details");
  Press(IDC_TABLES_DATA);
  EXPECT_EQ(script.openedNames, (std::vector<std::string>{"Order Details", "[Order Details]"}));
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].rows.size(), 14u);
  EXPECT_TRUE(watch.seen[0].editing);
  EXPECT_NE(page->m_pOpenRowset, nullptr);

  script.openedNames.clear();
  Select("Orders");
  Press(IDC_TABLES_DATA);
  EXPECT_EQ(script.openedNames, std::vector<std::string>{"Orders"});
  EXPECT_EQ(watch.seen.size(), 2u);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(TablesPageTest, ANameWithoutASpaceThatIsNotFoundIsNotRetried) {
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(Sample("trading.db"));
  TablesProviderScript script;
  script.commands = false;
  script.tables = std::vector<FakeTableRow>{{"Missing", "main", ""}};
  ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
  PickUp(provider.Get());
  ViewerWatch watch;
  Select("Missing");
  Press(IDC_TABLES_DATA);
  EXPECT_EQ(script.openedNames, std::vector<std::string>{"Missing"});
  EXPECT_TRUE(watch.seen.empty());
  EXPECT_FALSE(boxes.Calls().empty());
}

// ---- the schema view -------------------------------------------------------------

TEST_F(TablesPageTest, SchemaShowsOneRowPerColumnFromTheColumnsRowsetReadOnly) {
  Connect(Sample("trading.db"));
  ViewerWatch watch;
  Select("Order Details");
  Press(IDC_TABLES_SCHEMA);
  EXPECT_TRUE(boxes.Calls().empty());
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].caption, "Schema from table: Order Details");
  ASSERT_EQ(watch.seen[0].rows.size(), 5u);
  ASSERT_FALSE(watch.seen[0].headings.empty());
  EXPECT_EQ(watch.seen[0].headings[0], "DBCOLUMN_IDNAME");  // nothing hidden
  EXPECT_EQ(watch.seen[0].rows[0][0], "order_id");
  EXPECT_FALSE(watch.seen[0].editing);
  EXPECT_NE(page->m_pOpenRowset, nullptr);
}

TEST_F(TablesPageTest, WithoutColumnsRowsetsSchemaShowsTheColumnsSchemaRowsetWithoutItsFirstThreeColumns) {
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(Sample("trading.db"));
  TablesProviderScript script;
  script.columnsRowset = false;
  ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
  PickUp(provider.Get());
  ViewerWatch watch;
  Select("Order Details");
  Press(IDC_TABLES_SCHEMA);
  EXPECT_EQ(script.openedNames, std::vector<std::string>{"main.[Order Details]"});
  EXPECT_EQ(script.schemaTableRestrictions, std::vector<std::string>{"Order Details"});
  ASSERT_EQ(watch.seen.size(), 1u);
  ASSERT_EQ(watch.seen[0].rows.size(), 5u);
  EXPECT_EQ(watch.seen[0].headings[0], "COLUMN_NAME");
  EXPECT_EQ(watch.seen[0].rows[0][0], "order_id");
  EXPECT_FALSE(watch.seen[0].editing);
  EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(TablesPageTest, SchemaRetriesANameWithASpaceInBracketsAfterTheQualifiedNameIsNotFound) {
  ComPtr<IDBInitialize> sqlite = OpenSqliteFile(Sample("trading.db"));
  TablesProviderScript script;
  script.bracketedNamesOnly = true;
  // Quotes the provider does not take for brackets, so the qualified name fails.
  script.quotePrefix = u"\"";
  script.quoteSuffix = u"\"";
  ComPtr<IDBInitialize> provider = CreateTablesTestProvider(sqlite.Get(), script);
  PickUp(provider.Get());
  ViewerWatch watch;
  Select("Order Details");
  Press(IDC_TABLES_SCHEMA);
  EXPECT_EQ(script.openedNames, (std::vector<std::string>{"main.\"Order Details\"", "[Order Details]"}));
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].rows.size(), 5u);
  EXPECT_TRUE(boxes.Calls().empty());

  // A name without a space is not retried: the provider's record is shown.
  script.openedNames.clear();
  script.tables = std::vector<FakeTableRow>{{"Missing", "main", ""}};
  PickUp(provider.Get());
  Select("Missing");
  Press(IDC_TABLES_SCHEMA);
  EXPECT_EQ(script.openedNames, std::vector<std::string>{"main.Missing"});
  EXPECT_EQ(watch.seen.size(), 1u);
  EXPECT_FALSE(boxes.Calls().empty());
}

}  // namespace
