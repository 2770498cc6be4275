// What an ODBC rowset keeps of the rows it has read: over a keyed table
// only the keys (a row asked for again is read again by key), for another
// result with bookmarks every row, without bookmarks nothing it has passed.
// Also values longer than a bound buffer, anywhere in a block.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "OdbcTestSupport.h"
#include "ProviderTestSupport.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

constexpr int kRows = 20000;

using Row = KeyedRow;

HACCESSOR RowAccessor(IUnknown* rowset) { return KeyedRowAccessor(rowset, 1, 2); }

// Bookmarks required and changes asked for where the result allows them,
// as a grid that edits what it can asks.
ComPtr<IRowset> ExecuteWithOptionalChange(IUnknown* session, const std::string& sql) {
  ComPtr<ICommandText> command;
  ComPtr<IUnknown>(session).As<IDBCreateCommand>()->CreateCommand(nullptr, IID_ICommandText,
                                                                  reinterpret_cast<IUnknown**>(&command));
  command->SetCommandText(DBGUID_DBSQL, AnsiToOle(sql).c_str());
  DBPROP props[2] = {};
  const DBPROPID ids[2] = {DBPROP_IRowsetLocate, DBPROP_IRowsetChange};
  for (int i = 0; i < 2; ++i) {
    props[i].dwPropertyID = ids[i];
    props[i].dwOptions = i == 0 ? DBPROPOPTIONS_REQUIRED : DBPROPOPTIONS_OPTIONAL;
    props[i].vValue.vt = VT_BOOL;
    props[i].vValue.boolVal = VARIANT_TRUE;
  }
  DBPROPSET set{props, 2, DBPROPSET_ROWSET};
  command.As<ICommandProperties>()->SetProperties(1, &set);
  ComPtr<IRowset> rowset;
  command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  return rowset;
}

// A driver to keep rows through, and how it fills the table.
struct KeepingTarget {
  const char* name;
  std::optional<OdbcTarget> (*target)();
  const char* fill;  // inserts rows 1..kRows
};

const KeepingTarget kKeepingTargets[] = {
    {"Postgres", PostgresTarget,
     "insert into kept_rows select n, 'value ' || n from generate_series(1, 20000) as g(n)"},
    {"Sqlite", SqliteOdbcTarget,
     "insert into kept_rows with recursive g(n) as (select 1 union all select n + 1 from g where n < 20000) "
     "select n, 'value ' || n from g"},
};

class OdbcRowKeeping : public testing::TestWithParam<KeepingTarget> {
 protected:
  void SetUp() override {
    m_target = GetParam().target();
    SKIP_WITHOUT(m_target);
    m_session = Session();
    ASSERT_TRUE(m_session);
    Execute(m_session, "drop table if exists kept_rows");
    ASSERT_EQ(Execute(m_session, "create table kept_rows (k integer primary key, v text)").hr, S_OK);
    ASSERT_EQ(Execute(m_session, GetParam().fill).hr, S_OK);
  }
  void TearDown() override {
    if (m_session) Execute(m_session, "drop table if exists kept_rows");
  }
  ComPtr<IUnknown> Session() {
    auto init = CreateOdbcDataSource(m_target->dsn, m_target->user, m_target->password);
    if (!init || FAILED(init->Initialize())) return nullptr;
    m_inits.push_back(init);
    return CreateSession(init);
  }
  std::string Scalar(const std::string& sql) {
    auto result = Execute(Session(), sql);  // a new connection sees only what was committed
    if (!result.rowset) return "<no rowset>";
    auto rows = ReadAll(result.rowset);
    return rows.empty() || !rows[0][0] ? "<null>" : *rows[0][0];
  }
  const BYTE* Mark(const DBBKMARK& bookmark) { return reinterpret_cast<const BYTE*>(&bookmark); }

  ComApartment m_apartment;
  std::optional<OdbcTarget> m_target;
  std::vector<ComPtr<IDBInitialize>> m_inits;
  ComPtr<IUnknown> m_session;
};

}  // namespace

TEST_P(OdbcRowKeeping, AKeyedTableReadsReleasedRowsAgainAndEditsReachExactlyThem) {
  auto result = Execute(m_session, "select * from kept_rows order by k",
                        {{DBPROP_IRowsetLocate, 1}, {DBPROP_IRowsetChange, 1}});
  ASSERT_EQ(result.hr, S_OK);
  IRowset* rowset = result.rowset.Get();
  HACCESSOR read = RowAccessor(rowset);
  size_t total = 0;
  auto marks = ReadReleasingAll(rowset, read, {"19990", "19995", "19991", "3"}, total);
  ASSERT_EQ(total, static_cast<size_t>(kRows));
  auto locate = result.rowset.As<IRowsetLocate>();
  DBCOMPARE order = DBCOMPARE_NOTCOMPARABLE;
  EXPECT_EQ(locate->Compare(DB_NULL_HCHAPTER, sizeof(DBBKMARK), Mark(marks[0]), sizeof(DBBKMARK), Mark(marks[1]),
                            &order),
            S_OK);
  EXPECT_EQ(order, DBCOMPARE_LT);

  // The row after a bookmark, long released, is the next row of the result.
  DBCOUNTITEM obtained = 0;
  HROW* following = nullptr;
  ASSERT_EQ(locate->GetRowsAt(0, DB_NULL_HCHAPTER, sizeof(DBBKMARK), Mark(marks[0]), 1, 1, &obtained, &following),
            S_OK);
  Row next{};
  EXPECT_EQ(rowset->GetData(following[0], read, &next), S_OK);
  EXPECT_STREQ(next.key, "19991");
  EXPECT_EQ(next.bookmark, marks[2]);
  rowset->ReleaseRows(1, following, nullptr, nullptr, nullptr);
  CoTaskMemFree(following);

  // Read again by key, a row shows what the table holds now.
  Execute(Session(), "update kept_rows set v = 'from outside' where k = 19995");
  const BYTE* asked[3] = {Mark(marks[0]), Mark(marks[1]), Mark(marks[3])};
  DBBKMARK sizes[3] = {sizeof(DBBKMARK), sizeof(DBBKMARK), sizeof(DBBKMARK)};
  HROW rows[3] = {};
  DBROWSTATUS statuses[3] = {};
  ASSERT_EQ(locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 3, sizes, asked, rows, statuses), S_OK);
  Row first{}, second{}, early{};
  ASSERT_EQ(rowset->GetData(rows[0], read, &first), S_OK);
  ASSERT_EQ(rowset->GetData(rows[1], read, &second), S_OK);
  ASSERT_EQ(rowset->GetData(rows[2], read, &early), S_OK);
  EXPECT_STREQ(first.key, "19990");
  EXPECT_STREQ(second.value, "from outside");
  EXPECT_STREQ(early.value, "value 3");

  auto change = result.rowset.As<IRowsetChange>();
  char edited[24] = "edited";
  EXPECT_EQ(change->SetData(rows[0], TextAccessor(rowset, 2, sizeof(edited)), edited), S_OK);
  DBROWSTATUS deleted = 0;
  EXPECT_EQ(change->DeleteRows(DB_NULL_HCHAPTER, 1, &rows[1], &deleted), S_OK);
  rowset->ReleaseRows(3, rows, nullptr, nullptr, nullptr);

  ASSERT_EQ(locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 2, sizes, asked, rows, statuses), DB_S_ERRORSOCCURRED);
  EXPECT_EQ(statuses[0], DBROWSTATUS_S_OK);
  EXPECT_EQ(statuses[1], DBROWSTATUS_E_DELETED);
  ASSERT_EQ(rowset->GetData(rows[0], read, &first), S_OK);
  EXPECT_STREQ(first.value, "edited");
  rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);

  EXPECT_EQ(Scalar("select min(k) || '/' || max(k) from kept_rows where v = 'edited'"), "19990/19990");
  EXPECT_EQ(Scalar("select count(*) from kept_rows where k = 19995"), "0");
  EXPECT_EQ(Scalar("select count(*) from kept_rows"), std::to_string(kRows - 1));
}

TEST_P(OdbcRowKeeping, ARowDeletedElsewhereIsReportedWhenItsValuesAreRead) {
  auto result = Execute(m_session, "select * from kept_rows order by k", {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  IRowset* rowset = result.rowset.Get();
  HACCESSOR read = RowAccessor(rowset);
  size_t total = 0;
  auto marks = ReadReleasingAll(rowset, read, {"100"}, total);
  Execute(Session(), "delete from kept_rows where k = 100");

  DBBINDING b{};
  b.iOrdinal = 0;
  b.dwPart = DBPART_VALUE;
  b.cbMaxLen = sizeof(DBBKMARK);
  b.wType = DBTYPE_BYTES;
  HACCESSOR bookmarkOnly = 0;
  ASSERT_EQ(result.rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, sizeof(DBBKMARK), &bookmarkOnly,
                                                         nullptr),
            S_OK);
  const BYTE* asked[] = {Mark(marks[0])};
  DBBKMARK size = sizeof(DBBKMARK);
  HROW row = 0;
  ASSERT_EQ(result.rowset.As<IRowsetLocate>()->GetRowsByBookmark(DB_NULL_HCHAPTER, 1, &size, asked, &row, nullptr),
            S_OK);
  // Its bookmark needs no reading; its values find the row gone.
  DBBKMARK bookmark = 0;
  EXPECT_EQ(rowset->GetData(row, bookmarkOnly, &bookmark), S_OK);
  EXPECT_EQ(bookmark, marks[0]);
  Row values{};
  EXPECT_EQ(rowset->GetData(row, read, &values), DB_E_DELETEDROW);
  auto errors = TakeErrorDescriptions();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("no longer in the table"), std::string::npos) << errors[0];
  rowset->ReleaseRows(1, &row, nullptr, nullptr, nullptr);
}

TEST_P(OdbcRowKeeping, AResultWithoutAKeyKeepsItsRowsAsTheyWereRead) {
  // An expression makes the rows no table's, so nothing could find them again.
  CommandResult result;
  result.rowset = ExecuteWithOptionalChange(m_session, "select k, v || '' as v from kept_rows order by k");
  ASSERT_TRUE(result.rowset);
  EXPECT_FALSE(result.rowset.As<IRowsetChange>());  // asked for, but nothing could write it back
  HACCESSOR read = RowAccessor(result.rowset);
  size_t total = 0;
  auto marks = ReadReleasingAll(result.rowset, read, {"12", "15000"}, total);
  ASSERT_EQ(total, static_cast<size_t>(kRows));
  Execute(Session(), "update kept_rows set v = 'from outside' where k in (12, 15000)");
  const BYTE* asked[2] = {Mark(marks[0]), Mark(marks[1])};
  DBBKMARK sizes[2] = {sizeof(DBBKMARK), sizeof(DBBKMARK)};
  HROW rows[2] = {};
  ASSERT_EQ(result.rowset.As<IRowsetLocate>()->GetRowsByBookmark(DB_NULL_HCHAPTER, 2, sizes, asked, rows, nullptr),
            S_OK);
  Row first{}, second{};
  ASSERT_EQ(result.rowset->GetData(rows[0], read, &first), S_OK);
  ASSERT_EQ(result.rowset->GetData(rows[1], read, &second), S_OK);
  EXPECT_STREQ(first.value, "value 12");
  EXPECT_STREQ(second.value, "value 15000");
  result.rowset->ReleaseRows(2, rows, nullptr, nullptr, nullptr);
}

TEST_P(OdbcRowKeeping, RestartingWithoutBookmarksRunsTheQueryAgainOnceEveryRowIsReleased) {
  auto result = Execute(m_session, "select k from kept_rows order by k");
  ASSERT_EQ(result.hr, S_OK);
  IRowset* rowset = result.rowset.Get();
  HROW* rows = nullptr;
  DBCOUNTITEM obtained = 0;
  // Far past the first blocks, whose rows are gone once released.
  ASSERT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 1500, 1, &obtained, &rows), S_OK);
  EXPECT_EQ(rowset->RestartPosition(DB_NULL_HCHAPTER), DB_E_ROWSNOTRELEASED);
  rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
  EXPECT_EQ(rowset->RestartPosition(DB_NULL_HCHAPTER), DB_S_COMMANDREEXECUTED);
  auto again = ReadAll(rowset);
  ASSERT_EQ(again.size(), static_cast<size_t>(kRows));
  EXPECT_EQ(again.front()[0], "1");
  CoTaskMemFree(rows);
}

TEST_P(OdbcRowKeeping, RestartingAKeyedRowsetRunsItAgainUnlessItsRowsAreInUse) {
  auto result = Execute(m_session, "select * from kept_rows order by k", {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  IRowset* rowset = result.rowset.Get();
  HACCESSOR read = RowAccessor(rowset);
  size_t total = 0;
  auto marks = ReadReleasingAll(rowset, read, {"2"}, total);
  // Untouched and released, the rows come again from the statement run again.
  EXPECT_EQ(rowset->RestartPosition(DB_NULL_HCHAPTER), DB_S_COMMANDREEXECUTED);
  EXPECT_EQ(ReadReleasingAll(rowset, read, {"2"}, total)[0], marks[0]);
  EXPECT_EQ(total, static_cast<size_t>(kRows));

  // A row still held keeps its number: the rows before the window are
  // then read again by key, in their order.
  HROW* held = nullptr;
  DBCOUNTITEM obtained = 0;
  const BYTE* asked[] = {Mark(marks[0])};
  DBBKMARK size = sizeof(DBBKMARK);
  HROW row = 0;
  ASSERT_EQ(result.rowset.As<IRowsetLocate>()->GetRowsByBookmark(DB_NULL_HCHAPTER, 1, &size, asked, &row, nullptr),
            S_OK);
  EXPECT_EQ(rowset->RestartPosition(DB_NULL_HCHAPTER), S_OK);
  ASSERT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 3, &obtained, &held), S_OK);
  Row first{}, third{};
  ASSERT_EQ(rowset->GetData(held[0], read, &first), S_OK);
  ASSERT_EQ(rowset->GetData(held[2], read, &third), S_OK);
  EXPECT_STREQ(first.key, "1");
  EXPECT_STREQ(third.value, "value 3");
  EXPECT_EQ(held[1], row);  // the held row, found again under its own handle
  rowset->ReleaseRows(obtained, held, nullptr, nullptr, nullptr);
  rowset->ReleaseRows(1, &row, nullptr, nullptr, nullptr);
  CoTaskMemFree(held);
}

INSTANTIATE_TEST_SUITE_P(Odbc, OdbcRowKeeping, testing::ValuesIn(kKeepingTargets),
                         [](const testing::TestParamInfo<KeepingTarget>& info) { return info.param.name; });

TEST(OdbcLongValues, ValuesLongerThanTheirBufferArriveWholeAnywhereInABlock) {
  ComApartment apartment;
  // Every 97th value is far longer than a bound buffer and ends in a
  // character of several bytes; the rest are short.
  const std::pair<std::optional<OdbcTarget>, std::string> targets[] = {
      {PostgresTarget(),
       "select n, case when n % 97 = 0 then repeat('x', 3000 + n) || '\xE6\x97\xA5' else 'short ' || n end "
       "from generate_series(1, 1200) as g(n) order by n"},
      {SqliteOdbcTarget(),
       "with recursive g(n) as (select 1 union all select n + 1 from g where n < 1200) "
       "select n, case when n % 97 = 0 then replace(hex(zeroblob(1500 + n / 2)), '00', 'xx') || "
       "substr('xx', 1, n % 2) || '\xE6\x97\xA5' else 'short ' || n end from g"},
  };
  for (const auto& [target, sql] : targets) {
    if (!target) continue;
    auto init = CreateOdbcDataSource(target->dsn, target->user, target->password);
    ASSERT_TRUE(init && SUCCEEDED(init->Initialize()));
    auto result = Execute(CreateSession(init), sql);
    ASSERT_EQ(result.hr, S_OK) << target->dsn;
    auto rows = ReadAll(result.rowset);
    ASSERT_EQ(rows.size(), 1200u) << target->dsn;
    for (int n = 1; n <= 1200; ++n) {
      const auto& cell = rows[static_cast<size_t>(n - 1)][1];
      ASSERT_TRUE(cell);
      const std::string expected =
          n % 97 ? "short " + std::to_string(n) : std::string(3000 + static_cast<size_t>(n), 'x') + "\xE6\x97\xA5";
      ASSERT_TRUE(*cell == expected) << target->dsn << " row " << n << ": " << cell->size() << " bytes, not "
                                     << expected.size() << "; ends " << cell->substr(cell->size() - 8);
    }
  }
}
