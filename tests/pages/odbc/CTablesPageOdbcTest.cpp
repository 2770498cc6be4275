// The Table Analyzer on a PostgreSQL server reached through the ODBC
// provider: the listing with the server's schema, names the server would
// fold or must quote, the data and schema views, and an edit made in the
// grid that a second connection finds on the server.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QTest>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CEnumDialog.h"
#include "CTablesPage.h"
#include "ConnectingPageTest.h"
#include "OdbcTestSupport.h"
#include "ResourceIds.h"
#include "ServerDatabase.h"
#include "ViewerWatch.h"

namespace {

using pagetest::ListRows;
using pagetest::Rows;
using pagetest::ServerDatabase;
using pagetest::ViewerWatch;

const std::vector<std::string> kSampleTables = {"Desks",  "Instruments", "Notes", "Order Details",
                                                "Orders", "Traders",     "Trades"};


// A table of this process's own on the server, so no other test's rows
// are touched; dropped again when the test ends.
class ScratchTable {
 public:
  ScratchTable(const OdbcTarget& target, const std::string& columns, const std::string& rows)
      : m_target(target), m_name("Grid Edit " + std::to_string(::getpid())) {
    ServerDatabase server(m_target);
    server.Exec("DROP TABLE IF EXISTS " + Quoted());
    server.Exec("CREATE TABLE " + Quoted() + " (" + columns + ")");
    server.Exec("INSERT INTO " + Quoted() + " VALUES " + rows);
  }
  ~ScratchTable() { ServerDatabase(m_target).Exec("DROP TABLE IF EXISTS " + Quoted()); }
  const std::string& Name() const { return m_name; }
  std::string Quoted() const { return "\"" + m_name + "\""; }

 private:
  OdbcTarget m_target;
  std::string m_name;
};

class TablesPageOnServer : public pagetest::ConnectingPageTest<CTablesPage> {
 protected:
  void SetUp() override {
    target = PostgresTarget();
    SKIP_WITHOUT(target);
    page = new CTablesPage;
    BuildSheet({page});
  }

  void Connect() {
    ConnectWith(pagetest::OdbcInitString(*target));
    ASSERT_NE(page->m_pSchemaRowset, nullptr) << FirstBox();
  }
  int Find(const std::string& name) { return pagetest::FindRow(page->m_list, name); }
  void Select(const std::string& name) { pagetest::SelectRow(page->m_list, name); }
  std::string Qualified(const std::string& name) {
    Select(name);
    page->UpdateData(TRUE);
    return page->BuildQualifiedName().str();
  }

  std::optional<OdbcTarget> target;
};

TEST_F(TablesPageOnServer, ListsTheSampleTablesInTheServersSchemaWithoutItsView) {
  Connect();
  EXPECT_TRUE(boxes.Calls().empty()) << FirstBox();
  const Rows rows = ListRows(page->m_list);
  for (const auto& table : kSampleTables) {
    const int item = Find(table);
    ASSERT_GE(item, 0) << table;
    EXPECT_EQ(rows[item][2], "public") << table;
  }
  EXPECT_LT(Find("Trader Volume"), 0);
  EXPECT_TRUE(page->ControlById(IDC_TABLES_DATA)->isEnabled());
  EXPECT_TRUE(page->ControlById(IDC_TABLES_SCHEMA)->isEnabled());
  // The server folds unquoted names to lower case, so capitals are quoted
  // like spaces are; the database and schema in lower case stand as they are.
  const std::string database = ServerDatabase(*target).Query("SELECT current_database()");
  EXPECT_EQ(rows[Find("Orders")][1], database);
  EXPECT_EQ(Qualified("Orders"), database + ".public.\"Orders\"");
  EXPECT_EQ(Qualified("Order Details"), database + ".public.\"Order Details\"");
}

TEST_F(TablesPageOnServer, DataAndSchemaOpenAServerTableThatNeedsItsQuotes) {
  ServerDatabase server(*target);
  const std::string orders = server.Query("SELECT count(*) FROM \"Orders\"");
  Connect();
  ViewerWatch watch;
  Select("Orders");
  Press(IDC_TABLES_DATA);
  Select("Order Details");
  Press(IDC_TABLES_SCHEMA);
  EXPECT_TRUE(boxes.Calls().empty()) << FirstBox();
  ASSERT_EQ(watch.seen.size(), 2u);
  EXPECT_EQ(watch.seen[0].caption, "Data from table: Orders");
  EXPECT_EQ(watch.seen[0].headings,
            (std::vector<std::string>{"id", "trader_id", "placed_at", "status", "comment"}));
  EXPECT_EQ(std::to_string(watch.seen[0].rows.size()), orders);
  EXPECT_TRUE(watch.seen[0].editing);
  EXPECT_EQ(watch.seen[1].caption, "Schema from table: Order Details");
  ASSERT_EQ(watch.seen[1].rows.size(), 5u);
  EXPECT_EQ(watch.seen[1].rows[0][0], "order_id");
  EXPECT_FALSE(watch.seen[1].editing);
}

TEST_F(TablesPageOnServer, AnEditInTheGridReachesTheServerForThatRowOnly) {
  ScratchTable table(*target, "id integer PRIMARY KEY, label text NOT NULL, quantity integer",
                     "(1, 'one', 10), (2, 'two', 20), (3, 'three', 30)");
  Connect();
  Select(table.Name());
  std::string id;
  ViewerWatch watch([&](CEnumDialog& viewer) {
    CCustListCtrl& list = viewer.List();
    id = list.GetItemText(0, 0).str();
    const int length = list.GetItemText(0, 2).GetLength();
    QWidget* grid = list.View();
    QTest::keyClick(grid, Qt::Key_F2);
    for (int i = 0; i < 2; ++i) QTest::keyClick(grid, Qt::Key_Tab);
    QTest::keyClick(grid, Qt::Key_End);
    for (int i = 0; i < length; ++i) QTest::keyClick(grid, Qt::Key_Backspace);
    QTest::keyClicks(grid, "77");
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(list.GetItemText(0, 2).str(), "77");
  });
  Press(IDC_TABLES_DATA);
  EXPECT_TRUE(boxes.Calls().empty()) << FirstBox();
  ASSERT_EQ(watch.seen.size(), 1u);
  EXPECT_EQ(watch.seen[0].rows.size(), 3u);
  ASSERT_FALSE(id.empty());
  // Read back on a connection of its own: the change was committed.
  ServerDatabase server(*target);
  EXPECT_EQ(server.Query("SELECT quantity FROM " + table.Quoted() + " WHERE id = " + id), "77");
  EXPECT_EQ(server.Query("SELECT count(*) FROM " + table.Quoted() + " WHERE quantity = 77"), "1");
  EXPECT_EQ(server.Query("SELECT string_agg(label, ',' ORDER BY id) FROM " + table.Quoted()), "one,two,three");
}

}  // namespace
