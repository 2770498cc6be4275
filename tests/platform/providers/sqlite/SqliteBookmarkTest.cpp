// Rowsets with bookmarks keep no released row: over one table a row is
// found again by its key, any other result keeps its rows packed. Edits
// through a bookmark reach exactly the row it was taken from.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

constexpr int kRows = 100000;

void Exec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

std::string Scalar(const std::string& path, const std::string& sql) {
  std::string out = "<none>";
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
    auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    out = text ? text : "NULL";
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return out;
}

// The bookmark, the key column as text and the edited column, whose
// buffer is 16 bytes here.
using Row = KeyedRow;
constexpr DBLENGTH kValueWidth = 16;

HACCESSOR RowAccessor(IUnknown* rowset, DBORDINAL keyOrdinal, DBORDINAL valueOrdinal) {
  return KeyedRowAccessor(rowset, keyOrdinal, valueOrdinal, kValueWidth);
}

struct Layout {
  const char* name;
  const char* create;   // a table t with a key column k and a text column v
  bool byName;          // opened with IOpenRowset, else as a command
  DBORDINAL keyOrdinal, valueOrdinal;
  bool byKey;           // bookmarks are row ids, read again from the table
};

class SqliteBookmarks : public testing::TestWithParam<Layout> {
 protected:
  ComApartment m_apartment;
};

ComPtr<IRowset> OpenEditable(IUnknown* session, const Layout& layout) {
  if (!layout.byName)
    return Execute(session, "select * from t", {{DBPROP_IRowsetLocate, 1}, {DBPROP_IRowsetChange, 1}}).rowset;
  DBPROP props[2] = {};
  for (int i = 0; i < 2; ++i) {
    props[i].dwPropertyID = i == 0 ? DBPROP_IRowsetLocate : DBPROP_IRowsetChange;
    props[i].dwOptions = DBPROPOPTIONS_REQUIRED;
    props[i].vValue.vt = VT_BOOL;
    props[i].vValue.boolVal = VARIANT_TRUE;
  }
  DBPROPSET set{props, 2, DBPROPSET_ROWSET};
  DBID id{};
  id.eKind = DBKIND_NAME;
  std::u16string name = u"t";
  id.uName.pwszName = name.data();
  ComPtr<IRowset> rowset;
  EXPECT_EQ(ComPtr<IUnknown>(session).As<IOpenRowset>()->OpenRowset(nullptr, &id, nullptr, IID_IRowset, 1, &set,
                                                                    reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  return rowset;
}

}  // namespace

TEST_P(SqliteBookmarks, EditAndDeleteNearTheEndReachTheirRowsAfterEarlierRowsWereReleased) {
  const Layout& layout = GetParam();
  TempFileCopy file(EmptyDb());
  Exec(file.Path(), std::string(layout.create) +
                        "; with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
                        "insert into t(k, v) select i, 'value ' || i from n;");
  auto init = OpenDataSource(CLSID_RavezovSQLite, file.Path());
  auto session = CreateSession(init);
  auto rowset = OpenEditable(session, layout);
  ASSERT_TRUE(rowset);
  HACCESSOR read = RowAccessor(rowset, layout.keyOrdinal, layout.valueOrdinal);
  size_t total = 0;
  auto bookmarks = ReadReleasingAll(rowset, read, {"99990", "99995", "99991"}, total);
  ASSERT_EQ(total, static_cast<size_t>(kRows));

  auto locate = rowset.As<IRowsetLocate>();
  ASSERT_TRUE(locate);
  DBCOMPARE order = DBCOMPARE_NOTCOMPARABLE;
  EXPECT_EQ(locate->Compare(DB_NULL_HCHAPTER, sizeof(DBBKMARK), reinterpret_cast<BYTE*>(&bookmarks[0]),
                            sizeof(DBBKMARK), reinterpret_cast<BYTE*>(&bookmarks[1]), &order),
            S_OK);
  EXPECT_EQ(order, DBCOMPARE_LT);
  // The row after a bookmark is the next row of the result.
  DBCOUNTITEM obtained = 0;
  HROW* following = nullptr;
  ASSERT_EQ(locate->GetRowsAt(0, DB_NULL_HCHAPTER, sizeof(DBBKMARK), reinterpret_cast<BYTE*>(&bookmarks[0]), 1, 1,
                              &obtained, &following),
            S_OK);
  ASSERT_EQ(obtained, 1u);
  Row next{};
  EXPECT_EQ(rowset->GetData(following[0], read, &next), S_OK);
  EXPECT_STREQ(next.key, "99991");
  EXPECT_EQ(next.bookmark, bookmarks[2]);
  rowset->ReleaseRows(1, following, nullptr, nullptr, nullptr);
  CoTaskMemFree(following);

  if (layout.byKey) {
    // A released row is read again from the table, as it is now.
    Exec(file.Path(), "update t set v = 'from outside' where k = 99995");
  }
  const BYTE* marks[2] = {reinterpret_cast<BYTE*>(&bookmarks[0]), reinterpret_cast<BYTE*>(&bookmarks[1])};
  DBBKMARK sizes[2] = {sizeof(DBBKMARK), sizeof(DBBKMARK)};
  HROW rows[2] = {};
  DBROWSTATUS statuses[2] = {};
  ASSERT_EQ(locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 2, sizes, marks, rows, statuses), S_OK);
  Row first{}, second{};
  ASSERT_EQ(rowset->GetData(rows[0], read, &first), S_OK);
  ASSERT_EQ(rowset->GetData(rows[1], read, &second), S_OK);
  EXPECT_STREQ(first.key, "99990");
  EXPECT_STREQ(second.key, "99995");
  EXPECT_STREQ(second.value, layout.byKey ? "from outside" : "value 99995");

  auto change = rowset.As<IRowsetChange>();
  ASSERT_TRUE(change);
  char edited[16] = "edited";
  EXPECT_EQ(change->SetData(rows[0], TextAccessor(rowset, layout.valueOrdinal, kValueWidth), edited), S_OK);
  DBROWSTATUS deleted = 0;
  EXPECT_EQ(change->DeleteRows(DB_NULL_HCHAPTER, 1, &rows[1], &deleted), S_OK);
  rowset->ReleaseRows(2, rows, nullptr, nullptr, nullptr);

  // Found again, the edited row shows the edit and the deleted one is gone.
  ASSERT_EQ(locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 2, sizes, marks, rows, statuses), DB_S_ERRORSOCCURRED);
  EXPECT_EQ(statuses[0], DBROWSTATUS_S_OK);
  EXPECT_EQ(statuses[1], DBROWSTATUS_E_DELETED);
  ASSERT_EQ(rowset->GetData(rows[0], read, &first), S_OK);
  EXPECT_STREQ(first.value, "edited");
  rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);

  EXPECT_EQ(Scalar(file.Path(), "select group_concat(k) from t where v = 'edited'"), "99990");
  EXPECT_EQ(Scalar(file.Path(), "select count(*) from t where k = 99995"), "0");
  EXPECT_EQ(Scalar(file.Path(), "select count(*) from t"), std::to_string(kRows - 1));
}

TEST(SqliteBookmarkKeys, AnEditOfTheKeyColumnMovesTheRowAndItsBookmark) {
  ComApartment apartment;
  TempFileCopy file(EmptyDb());
  Exec(file.Path(), "create table t(k integer primary key, v text); insert into t values (1, 'a'), (2, 'b');");
  auto init = OpenDataSource(CLSID_RavezovSQLite, file.Path());
  auto session = CreateSession(init);
  auto result = Execute(session, "select * from t", {{DBPROP_IRowsetLocate, 1}, {DBPROP_IRowsetChange, 1}});
  ASSERT_EQ(result.hr, S_OK);
  HACCESSOR read = RowAccessor(result.rowset, 1, 2);
  HROW rows[1];
  HROW* p = rows;
  DBCOUNTITEM obtained = 0;
  ASSERT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, &obtained, &p), S_OK);
  char key[16] = "10";
  ASSERT_EQ(result.rowset.As<IRowsetChange>()->SetData(rows[0], TextAccessor(result.rowset, 1, kValueWidth), key),
            S_OK);
  Row row{};
  ASSERT_EQ(result.rowset->GetData(rows[0], read, &row), S_OK);
  EXPECT_STREQ(row.key, "10");
  EXPECT_STREQ(row.value, "a");
  EXPECT_EQ(row.bookmark, 10u);
  result.rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);
  EXPECT_EQ(Scalar(file.Path(), "select group_concat(k) from t"), "2,10");
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, SqliteBookmarks,
    testing::Values(
        // The command the table data view runs: the key column is the row id.
        Layout{"CommandOverIntegerKey", "create table t(k integer primary key, v text)", false, 1, 2, true},
        // A table without a key opened by name: the hidden row id leads.
        Layout{"TableWithoutKeyByName", "create table t(k int, v text)", true, 1, 2, true},
        // No row id at all: rows are kept packed and written by their key.
        Layout{"WithoutRowid", "create table t(k int primary key, v text) without rowid", false, 1, 2, false}),
    [](const testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });
