// The ODBC provider against real drivers: PostgreSQL (a server with
// passwords and several statements per text) and SQLite (a driver that
// runs only the first statement of a text).
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <chrono>
#include <thread>

#include "ComPtr.h"
#include "ErrorRecords.h"
#include "OdbcProvider.h"
#include "OdbcTestSupport.h"
#include "ProviderTestSupport.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

struct ErrorRecordFacts {
  std::string description;
  std::string sqlState;
  LONG native = 0;
};

// Every record of the thread's error object, with its SQLSTATE.
std::vector<ErrorRecordFacts> TakeRecords() {
  std::vector<ErrorRecordFacts> out;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return out;
  auto records = info.As<IErrorRecords>();
  if (!records) return out;
  ULONG count = 0;
  records->GetRecordCount(&count);
  for (ULONG i = 0; i < count; ++i) {
    ErrorRecordFacts facts;
    ComPtr<IErrorInfo> one;
    if (SUCCEEDED(records->GetErrorInfo(i, 0, &one)) && one) {
      BSTR text = nullptr;
      one->GetDescription(&text);
      facts.description = text ? OleToAnsi(text) : "";
      SysFreeString(text);
    }
    ComPtr<IUnknown> custom;
    if (SUCCEEDED(records->GetCustomErrorObject(i, IID_ISQLErrorInfo, &custom)) && custom) {
      BSTR state = nullptr;
      custom.As<ISQLErrorInfo>()->GetSQLInfo(&state, &facts.native);
      facts.sqlState = state ? OleToAnsi(state) : "";
      SysFreeString(state);
    }
    out.push_back(facts);
  }
  return out;
}

std::string Scalar(IUnknown* session, const std::string& sql) {
  auto result = Execute(session, sql);
  if (!result.rowset) return "<no rowset>";
  auto rows = ReadAll(result.rowset);
  return rows.empty() || !rows[0][0] ? "<null>" : *rows[0][0];
}

class OdbcPostgresTest : public testing::Test {
 protected:
  void SetUp() override {
    m_target = PostgresTarget();
    SKIP_WITHOUT(m_target);
  }
  ComPtr<IUnknown> Session() {
    auto init = CreateOdbcDataSource(m_target->dsn, m_target->user, m_target->password);
    if (!init || FAILED(init->Initialize())) return nullptr;
    m_init = init;
    return CreateSession(init);
  }

  ComApartment m_apartment;
  std::optional<OdbcTarget> m_target;
  ComPtr<IDBInitialize> m_init;
};

TEST_F(OdbcPostgresTest, ServerFactsComeFromTheDriver) {
  auto session = Session();
  ASSERT_TRUE(session);
  DBPROPID ids[] = {DBPROP_DBMSNAME, DBPROP_PROVIDERFRIENDLYNAME};
  DBPROPIDSET set{ids, 2, DBPROPSET_DATASOURCEINFO};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ASSERT_EQ(m_init.As<IDBProperties>()->GetProperties(1, &set, &count, &sets), S_OK);
  EXPECT_EQ(OleToAnsi(sets[0].rgProperties[0].vValue.bstrVal), "PostgreSQL");
  EXPECT_EQ(OleToAnsi(sets[0].rgProperties[1].vValue.bstrVal), kOdbcDescription);
  for (ULONG i = 0; i < 2; ++i) VariantClear(&sets[0].rgProperties[i].vValue);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
}

TEST_F(OdbcPostgresTest, BadConnectionsFailWithTheDriversRecordsAndNoPassword) {
  auto unknown = CreateOdbcDataSource("NoSuchDsnAnywhere");
  ASSERT_TRUE(unknown);
  EXPECT_TRUE(FAILED(unknown->Initialize()));
  auto records = TakeRecords();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0].sqlState, "IM002");

  const std::string wrong = "Wr0ng-Secret-Pw";
  auto refused = CreateOdbcDataSource(m_target->dsn, m_target->user, wrong);
  ASSERT_TRUE(refused);
  EXPECT_TRUE(FAILED(refused->Initialize()));
  records = TakeRecords();
  ASSERT_FALSE(records.empty());
  for (const auto& r : records) {
    EXPECT_EQ(r.description.find(wrong), std::string::npos) << r.description;
    EXPECT_EQ(r.sqlState.size(), 5u);
  }
}

TEST_F(OdbcPostgresTest, ARejectedStatementReportsTheServerAndLeavesTheSessionUsable) {
  auto session = Session();
  ASSERT_TRUE(session);
  auto bad = Execute(session, "selec * frm \"Trades\"");
  EXPECT_EQ(bad.hr, DB_E_ERRORSINCOMMAND);
  auto records = TakeRecords();
  ASSERT_FALSE(records.empty());
  EXPECT_EQ(records[0].sqlState, "42601");
  EXPECT_NE(records[0].description.find("syntax error"), std::string::npos) << records[0].description;
  EXPECT_EQ(Scalar(session, "select count(*) from \"Trades\""), "12000");
}

TEST_F(OdbcPostgresTest, SeveralStatementsRunTogetherAndCountTheirRows) {
  auto session = Session();
  ASSERT_TRUE(session);
  auto created = Execute(session, "create temporary table t(a int); insert into t values (1), (2)");
  ASSERT_EQ(created.hr, S_OK);
  EXPECT_EQ(created.rowsAffected, 2);
  EXPECT_EQ(Scalar(session, "select count(*) from t"), "2");
}

TEST_F(OdbcPostgresTest, TextKeepsEveryCharacter) {
  auto session = Session();
  ASSERT_TRUE(session);
  auto result = Execute(session, "select id, body from \"Notes\" where id <= 7 order by id");
  ASSERT_TRUE(result.rowset);
  auto rows = ReadAll(result.rowset);
  ASSERT_EQ(rows.size(), 7u);
  ASSERT_TRUE(rows[1][1]);
  EXPECT_EQ(rows[1][1]->size(), 300u);
  EXPECT_EQ(*rows[2][1], std::string(254, 'a') + "\xC3\xA9tail");
  EXPECT_EQ(*rows[3][1], std::string(253, 'a') + "\xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_FALSE(rows[5][1]);
  EXPECT_EQ(rows[6][1], std::string());
}

TEST_F(OdbcPostgresTest, TheEnumeratorListsEveryDataSourceName) {
  ComPtr<ISourcesRowset> enumerator;
  ASSERT_EQ(CoCreateInstance(CLSID_RavezovODBCEnumerator, nullptr, CLSCTX_INPROC_SERVER, IID_ISourcesRowset,
                             reinterpret_cast<void**>(&enumerator)), S_OK);
  ComPtr<IRowset> rowset;
  ASSERT_EQ(enumerator->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(&rowset)), S_OK);
  bool found = false;
  for (const auto& row : ReadAll(rowset)) {
    if (row[0] != m_target->dsn) continue;
    found = true;
    EXPECT_EQ(row[1], m_target->dsn);
    EXPECT_EQ(row[2], std::string("PostgreSQL Unicode"));
    EXPECT_EQ(row[3], std::string("1"));
  }
  EXPECT_TRUE(found);
}

TEST_F(OdbcPostgresTest, CancelStopsTheRunningStatementAndTheSessionGoesOn) {
  auto session = Session();
  ASSERT_TRUE(session);
  ComPtr<IDBCreateCommand> factory = session.As<IDBCreateCommand>();
  ComPtr<ICommandText> command;
  ASSERT_EQ(factory->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command)), S_OK);
  ASSERT_EQ(command->SetCommandText(DBGUID_DBSQL, u"select pg_sleep(30)"), S_OK);
  std::atomic<bool> done{false};
  std::thread canceller([&] {
    // Cancel until the statement is seen to end; the first tries may come
    // before it started.
    for (int i = 0; i < 200 && !done; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      command->Cancel();
    }
  });
  const auto start = std::chrono::steady_clock::now();
  ComPtr<IRowset> rowset;
  HRESULT hr = command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  done = true;
  canceller.join();
  EXPECT_EQ(hr, DB_E_CANCELED);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(Scalar(session, "select 1"), "1");
}

TEST_F(OdbcPostgresTest, ChangesToAResultWithoutAKeyAreRefusedWithAReason) {
  auto session = Session();
  ASSERT_TRUE(session);
  auto result = Execute(session, "select * from \"Trader Volume\"", {{DBPROP_IRowsetChange, 1}});
  EXPECT_EQ(result.hr, DB_E_ERRORSOCCURRED);
  EXPECT_FALSE(result.rowset);
  auto records = TakeRecords();
  ASSERT_FALSE(records.empty());
  EXPECT_NE(records[0].description.find("cannot be changed"), std::string::npos) << records[0].description;
  // Asked only for bookmarks, the same result opens read-only.
  auto readOnly = Execute(session, "select * from \"Trader Volume\"", {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(readOnly.hr, S_OK);
  EXPECT_FALSE(readOnly.rowset.As<IRowsetChange>());
  EXPECT_EQ(ReadAll(readOnly.rowset).size(), 6u);
}

// The text of column 1 of a row, through a 32-byte DBTYPE_STR binding.
std::string IdOf(IRowset* rowset, HACCESSOR accessor, HROW row) {
  struct {
    char text[32];
    DBSTATUS status;
  } buffer{};
  if (FAILED(rowset->GetData(row, accessor, &buffer))) return "<failed>";
  return buffer.text;
}

TEST_F(OdbcPostgresTest, BookmarksAreRowNumbersThatFindTheirRowsAgain) {
  auto session = Session();
  ASSERT_TRUE(session);
  auto result = Execute(session, "select id from \"Trades\" order by id", {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  auto locate = result.rowset.As<IRowsetLocate>();
  ASSERT_TRUE(locate);
  DBBINDING b{};
  b.iOrdinal = 1;
  b.obValue = 0;
  b.obStatus = 32;
  b.dwPart = DBPART_VALUE | DBPART_STATUS;
  b.cbMaxLen = 32;
  b.wType = DBTYPE_STR;
  HACCESSOR accessor = 0;
  ASSERT_EQ(result.rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 40, &accessor, nullptr), S_OK);

  // Rows 6 and 7 from the first, far past the first block of the cursor.
  BYTE first = DBBMK_FIRST;
  HROW rows[2];
  HROW* p = rows;
  DBCOUNTITEM obtained = 0;
  ASSERT_EQ(locate->GetRowsAt(0, DB_NULL_HCHAPTER, 1, &first, 5, 2, &obtained, &p), S_OK);
  ASSERT_EQ(obtained, 2u);
  EXPECT_EQ(IdOf(result.rowset, accessor, rows[0]), "6");
  EXPECT_EQ(IdOf(result.rowset, accessor, rows[1]), "7");
  locate->ReleaseRows(2, rows, nullptr, nullptr, nullptr);

  DBBKMARK far = 1500;
  const BYTE* marks[] = {reinterpret_cast<const BYTE*>(&far)};
  DBBKMARK sizes[] = {sizeof far};
  HROW found = 0;
  // A row not yet read is not a bookmark yet; after reading on it is.
  EXPECT_TRUE(FAILED(locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 1, sizes, marks, &found, nullptr)));
  ASSERT_EQ(locate->GetRowsAt(0, DB_NULL_HCHAPTER, 1, &first, 1499, 1, &obtained, &p), S_OK);
  EXPECT_EQ(IdOf(result.rowset, accessor, rows[0]), "1500");
  locate->ReleaseRows(1, rows, nullptr, nullptr, nullptr);
  ASSERT_EQ(locate->GetRowsByBookmark(DB_NULL_HCHAPTER, 1, sizes, marks, &found, nullptr), S_OK);
  EXPECT_EQ(IdOf(result.rowset, accessor, found), "1500");
  locate->ReleaseRows(1, &found, nullptr, nullptr, nullptr);

  DBBKMARK earlier = 6;
  DBCOMPARE order = DBCOMPARE_EQ;
  ASSERT_EQ(locate->Compare(DB_NULL_HCHAPTER, sizeof earlier, reinterpret_cast<const BYTE*>(&earlier), sizeof far,
                            reinterpret_cast<const BYTE*>(&far), &order), S_OK);
  EXPECT_EQ(order, DBCOMPARE_LT);
  result.rowset.As<IAccessor>()->ReleaseAccessor(accessor, nullptr);
}

TEST_F(OdbcPostgresTest, AChangeThatFindsNoRowIsRolledBackAndReported) {
  auto session = Session();
  ASSERT_TRUE(session);
  ASSERT_EQ(Execute(session, "drop table if exists probe; create table probe(id int primary key, t text);"
                             " insert into probe values (1, 'a'), (2, 'b')").hr, S_OK);
  auto result = Execute(session, "select * from probe order by id", {{DBPROP_IRowsetChange, 1}});
  ASSERT_EQ(result.hr, S_OK);
  auto change = result.rowset.As<IRowsetChange>();
  ASSERT_TRUE(change);
  HROW rows[1];
  HROW* p = rows;
  DBCOUNTITEM obtained = 0;
  ASSERT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, &obtained, &p), S_OK);
  // Another connection removes the row under the rowset.
  auto other = CreateOdbcDataSource(m_target->dsn, m_target->user, m_target->password);
  ASSERT_EQ(other->Initialize(), S_OK);
  auto otherSession = CreateSession(other);
  ASSERT_EQ(Execute(otherSession, "delete from probe where id = 1").hr, S_OK);

  struct {
    char* text;
    DBSTATUS status;
    DBLENGTH length;
  } in{const_cast<char*>("x"), DBSTATUS_S_OK, 1};
  DBBINDING b{};
  b.iOrdinal = 2;
  b.obValue = 0;
  b.obLength = offsetof(decltype(in), length);
  b.obStatus = offsetof(decltype(in), status);
  b.dwPart = DBPART_VALUE | DBPART_STATUS | DBPART_LENGTH;
  b.cbMaxLen = sizeof(char*);
  b.wType = DBTYPE_STR | DBTYPE_BYREF;
  HACCESSOR accessor = 0;
  ASSERT_EQ(result.rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, sizeof in, &accessor, nullptr),
            S_OK);
  EXPECT_TRUE(FAILED(change->SetData(rows[0], accessor, &in)));
  auto records = TakeRecords();
  ASSERT_FALSE(records.empty());
  EXPECT_NE(records[0].description.find("rolled back"), std::string::npos) << records[0].description;
  EXPECT_EQ(Scalar(otherSession, "select t from probe where id = 2"), "b");
  EXPECT_EQ(Scalar(otherSession, "select count(*) from probe where t = 'x'"), "0");
  result.rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);
  result.rowset.As<IAccessor>()->ReleaseAccessor(accessor, nullptr);
  result = CommandResult{};  // the rowset's cursor goes before the table does
  Execute(otherSession, "drop table probe");
}

class OdbcSqliteTest : public testing::Test {
 protected:
  ComApartment m_apartment;
};

TEST_F(OdbcSqliteTest, TwoStatementsAreRefusedWithNothingRun) {
  auto target = SqliteOdbcTarget();
  SKIP_WITHOUT(target);
  auto init = CreateOdbcDataSource(target->dsn);
  ASSERT_TRUE(init);
  ASSERT_EQ(init->Initialize(), S_OK);
  auto session = CreateSession(init);
  auto result = Execute(session, "create temp table t(a); insert into t values (1)");
  EXPECT_EQ(result.hr, DB_E_MULTIPLESTATEMENTS);
  EXPECT_FALSE(TakeRecords().empty());
  EXPECT_TRUE(FAILED(Execute(session, "select count(*) from t").hr));
}

}  // namespace

namespace {

// Stops the server for a scope and starts it again, so later tests find it.
class CServerOutage {
 public:
  static bool Possible() { return std::getenv("RAVEZOV_PG_STOP") && std::getenv("RAVEZOV_PG_START"); }
  CServerOutage() { m_stopped = std::system(std::getenv("RAVEZOV_PG_STOP")) == 0; }
  ~CServerOutage() { std::system((std::string(std::getenv("RAVEZOV_PG_START")) + " >/dev/null").c_str()); }
  bool Stopped() const { return m_stopped; }

 private:
  bool m_stopped = false;
};

TEST_F(OdbcPostgresTest, AServerStoppedDuringAFetchGivesAnErrorRecordNotACrash) {
  if (!CServerOutage::Possible()) GTEST_SKIP() << "the server cannot be stopped from here";
  auto session = Session();
  ASSERT_TRUE(session);
  auto result = Execute(session, "select * from \"Trades\"");
  ASSERT_TRUE(result.rowset);
  HROW handles[20];
  HROW* p = handles;
  DBCOUNTITEM obtained = 0;
  ASSERT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p), S_OK);
  result.rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
  HRESULT hr = S_OK;
  {
    CServerOutage outage;
    ASSERT_TRUE(outage.Stopped());
    // The first block of rows is already here; reading on needs the server.
    for (int i = 0; i < 1000 && hr == S_OK; ++i) {
      hr = result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p);
      if (obtained) result.rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
    }
    EXPECT_TRUE(FAILED(hr));
    EXPECT_FALSE(TakeRecords().empty());
    // The idle session reports the lost connection on its next use.
    EXPECT_TRUE(FAILED(Execute(session, "select 1").hr));
    EXPECT_FALSE(TakeRecords().empty());
  }
}

}  // namespace
