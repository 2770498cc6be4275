// Changing rows of a table without a primary key: a unique column finds
// the changed row again (PostgreSQL's driver names no best row identifier
// for it, SQLite's reports it as the key), while a table with nothing
// unique, where the drivers offer at most a row address, is refused with
// a reason.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstddef>
#include <string>

#include "ComPtr.h"
#include "OdbcProvider.h"
#include "OdbcTestSupport.h"
#include "ProviderTestSupport.h"
#include "TestEnvironment.h"
#include "objbase.h"

namespace {

std::string Scalar(IUnknown* session, const std::string& sql) {
  auto result = Execute(session, sql);
  if (!result.rowset) return "<no rowset>";
  auto rows = ReadAll(result.rowset);
  return rows.empty() || !rows[0][0] ? "<null>" : *rows[0][0];
}

// Sets column `ordinal` of the `index`-th row (0-based) to `text` through
// IRowsetChange.
HRESULT SetText(IRowset* rowset, DBCOUNTITEM index, DBORDINAL ordinal, const char* text) {
  auto change = ComPtr<IRowset>(rowset).As<IRowsetChange>();
  if (!change) return E_NOINTERFACE;
  HROW rows[1];
  HROW* p = rows;
  DBCOUNTITEM obtained = 0;
  HRESULT hr = rowset->GetNextRows(DB_NULL_HCHAPTER, static_cast<DBROWOFFSET>(index), 1, &obtained, &p);
  if (hr != S_OK || obtained != 1) return FAILED(hr) ? hr : E_FAIL;
  struct {
    char* text;
    DBSTATUS status;
    DBLENGTH length;
  } in{const_cast<char*>(text), DBSTATUS_S_OK, static_cast<DBLENGTH>(std::char_traits<char>::length(text))};
  DBBINDING b{};
  b.iOrdinal = ordinal;
  b.obLength = offsetof(decltype(in), length);
  b.obStatus = offsetof(decltype(in), status);
  b.dwPart = DBPART_VALUE | DBPART_STATUS | DBPART_LENGTH;
  b.cbMaxLen = sizeof(char*);
  b.wType = DBTYPE_STR | DBTYPE_BYREF;
  HACCESSOR accessor = 0;
  auto accessors = ComPtr<IRowset>(rowset).As<IAccessor>();
  hr = accessors->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, sizeof in, &accessor, nullptr);
  if (SUCCEEDED(hr)) hr = change->SetData(rows[0], accessor, &in);
  accessors->ReleaseAccessor(accessor, nullptr);
  rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);
  return hr;
}

// Opens `sql` asking to change it into `opened`; the reason of a refusal,
// or "" when the rowset opened.
std::string RefusalOf(IUnknown* session, const std::string& sql, ComPtr<IRowset>& opened) {
  auto result = Execute(session, sql, {{DBPROP_IRowsetChange, 1}});
  opened = result.rowset;
  if (SUCCEEDED(result.hr)) return "";
  const auto records = TakeErrorDescriptions();
  return records.empty() ? "<no record>" : records[0];
}

class RowIdentifier : public testing::Test {
 protected:
  void Open(ComPtr<IDBInitialize> dataSource) {
    ASSERT_TRUE(dataSource);
    ASSERT_EQ(dataSource->Initialize(), S_OK);
    init = dataSource;
    session = CreateSession(init);
    ASSERT_TRUE(session);
  }
  void CreateTables() {
    ASSERT_EQ(Execute(session, "create table " + tagged + " (code varchar(10) not null unique, label varchar(20))").hr,
              S_OK);
    for (const char* row : {"('a', 'one')", "('b', 'two')", "('c', 'three')"})
      ASSERT_EQ(Execute(session, "insert into " + tagged + " values " + row).hr, S_OK);
    ASSERT_EQ(Execute(session, "create table " + loose + " (code varchar(10), label varchar(20))").hr, S_OK);
    ASSERT_EQ(Execute(session, "insert into " + loose + " values ('a', 'one')").hr, S_OK);
  }

  ComApartment apartment;
  ComPtr<IDBInitialize> init;
  ComPtr<IUnknown> session;
  const std::string suffix = std::to_string(::getpid());
  const std::string tagged = "tagged_" + suffix, loose = "loose_" + suffix;
};

constexpr const char* kNoIdentifier = "no primary key, unique index or stable row identifier";

// Changes the second row of the table with a unique column, reads it back
// on `check`, and finds the table without one refused.
void ChangeFindsOneRowAndNothingUniqueIsRefused(IUnknown* session, IUnknown* check, const std::string& tagged,
                                                const std::string& loose) {
  ComPtr<IRowset> rowset;
  ASSERT_EQ(RefusalOf(session, "select * from " + tagged + " order by code", rowset), "");
  EXPECT_EQ(SetText(rowset, 1, 2, "changed"), S_OK);
  rowset = nullptr;
  EXPECT_EQ(Scalar(check, "select label from " + tagged + " where code = 'b'"), "changed");
  EXPECT_EQ(Scalar(check, "select count(*) from " + tagged + " where label = 'changed'"), "1");
  const std::string refusal = RefusalOf(session, "select * from " + loose, rowset);
  EXPECT_NE(refusal.find(kNoIdentifier), std::string::npos) << refusal;
  EXPECT_FALSE(rowset);
}

TEST_F(RowIdentifier, OnSqliteAUniqueColumnFindsTheChangedRow) {
  auto target = SqliteOdbcTarget();
  SKIP_WITHOUT(target);
  TempFileCopy copy(std::string(SamplesDir()) + "/trading.db");
  const std::string driver = "Driver={SQLite3};Database=" + copy.Path();
  Open(CreateOdbcDataSource({}, {}, {}, driver));
  CreateTables();
  auto other = CreateOdbcDataSource({}, {}, {}, driver);
  ASSERT_EQ(other->Initialize(), S_OK);
  ChangeFindsOneRowAndNothingUniqueIsRefused(session, CreateSession(other), tagged, loose);
}

TEST_F(RowIdentifier, OnPostgresAUniqueColumnFindsTheChangedRow) {
  auto target = PostgresTarget();
  SKIP_WITHOUT(target);
  Open(CreateOdbcDataSource(target->dsn, target->user, target->password));
  CreateTables();
  auto other = CreateOdbcDataSource(target->dsn, target->user, target->password);
  ASSERT_EQ(other->Initialize(), S_OK);
  auto check = CreateSession(other);
  ChangeFindsOneRowAndNothingUniqueIsRefused(session, check, tagged, loose);
  Execute(check, "drop table " + tagged);
  Execute(check, "drop table " + loose);
}

}  // namespace
