// Rowsets are read on the viewer's loader thread while the user-interface
// thread uses the same connection; rows arrive as they are stepped.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

class SqliteRowsetThreads : public testing::Test {
 protected:
  ComApartment m_apartment;
};

}  // namespace

TEST_F(SqliteRowsetThreads, FirstRowsOfAnEndlessResultArriveAtOnce) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, EmptyDb());
  auto session = CreateSession(init);
  // Reading the whole result first would never end.
  auto result = Execute(session,
                        "with recursive n(i) as (select 1 union all select i + 1 from n) select i from n");
  ASSERT_EQ(result.hr, S_OK);
  for (int batch = 0; batch < 3; ++batch) {
    HROW rows[20];
    HROW* p = rows;
    DBCOUNTITEM obtained = 0;
    ASSERT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p), S_OK);
    ASSERT_EQ(obtained, 20u);
    result.rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
  }
}

TEST_F(SqliteRowsetThreads, LoaderThreadReadsWhileTheSessionRunsCommands) {
  TempFileCopy copy(TradingDb());
  auto init = OpenDataSource(CLSID_RavezovSQLite, copy.Path());
  auto session = CreateSession(init);
  auto result = Execute(session, "select * from Trades", {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  std::atomic<size_t> rowsRead{0};
  IRowset* rowset = result.rowset.Get();
  std::thread loader([&] {
    rowsRead = ReadAll(rowset).size();
  });
  for (int i = 0; i < 50; ++i) {
    auto count = Execute(session, "select count(*) from Orders");
    EXPECT_EQ(count.hr, S_OK);
    if (count.rowset) {
      EXPECT_EQ(ReadAll(count.rowset).size(), 1u);
    }
    auto update = Execute(session, "update Notes set title = title || '' where id = 1");
    EXPECT_EQ(update.hr, S_OK);
  }
  loader.join();
  EXPECT_EQ(rowsRead.load(), 12000u);
}

TEST_F(SqliteRowsetThreads, ColumnsRowsetDescribesATableOpenedByQualifiedName) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  DBID id{};
  id.eKind = DBKIND_NAME;
  std::u16string name = u"main.\"Order Details\"";
  id.uName.pwszName = name.data();
  ComPtr<IColumnsRowset> columns;
  ASSERT_EQ(session.As<IOpenRowset>()->OpenRowset(nullptr, &id, nullptr, IID_IColumnsRowset, 0, nullptr,
                                                  reinterpret_cast<IUnknown**>(&columns)),
            S_OK);
  ComPtr<IRowset> described;
  ASSERT_EQ(columns->GetColumnsRowset(nullptr, 0, nullptr, IID_IRowset, 0, nullptr,
                                      reinterpret_cast<IUnknown**>(&described)),
            S_OK);
  auto rows = ReadAll(described);
  ASSERT_EQ(rows.size(), 5u);
  auto names = ColumnNames(described);
  auto column = std::find(names.begin(), names.end(), "DBCOLUMN_NAME") - names.begin();
  ASSERT_LT(static_cast<size_t>(column), names.size());
  EXPECT_EQ(rows[0][column].value_or(""), "order_id");
  EXPECT_EQ(rows[4][column].value_or(""), "limit_price");
}
