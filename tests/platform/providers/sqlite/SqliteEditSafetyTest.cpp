// Edits reach the row meant or nowhere, and failures are reported as such:
// a user column named like the row id, a damaged page mid-table, a lock
// held by another connection, a read-only file, a command refused late.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <fstream>
#include <vector>

#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// Runs SQL on a connection of the test's own.
void Exec(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
      << (error ? error : "") << " in " << sql;
  sqlite3_free(error);
  sqlite3_close(db);
}

// The first column of every row, read on a new connection.
std::vector<std::string> Texts(const std::string& path, const std::string& sql) {
  std::vector<std::string> out;
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      auto text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
      out.push_back(text ? text : "NULL");
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return out;
}

using Strings = std::vector<std::string>;

DBPROP BoolProperty(DBPROPID id) {
  DBPROP p{};
  p.dwPropertyID = id;
  p.dwOptions = DBPROPOPTIONS_REQUIRED;
  p.vValue.vt = VT_BOOL;
  p.vValue.boolVal = VARIANT_TRUE;
  return p;
}

ComPtr<IRowset> OpenTable(IUnknown* session, const std::string& name, HRESULT* hr,
                          bool bookmarks = false) {
  DBID id{};
  id.eKind = DBKIND_NAME;
  std::u16string wide = AnsiToOle(name);
  id.uName.pwszName = wide.data();
  DBPROP props[2] = {BoolProperty(DBPROP_IRowsetChange), BoolProperty(DBPROP_IRowsetLocate)};
  DBPROPSET set{props, bookmarks ? 2u : 1u, DBPROPSET_ROWSET};
  ComPtr<IRowset> rowset;
  *hr = ComPtr<IUnknown>(session).As<IOpenRowset>()->OpenRowset(
      nullptr, &id, nullptr, IID_IRowset, 1, &set, reinterpret_cast<IUnknown**>(&rowset));
  return rowset;
}

// The text buffers these tests read and write a column through.
constexpr DBLENGTH kTextWidth = 32;

std::vector<HROW> Fetch(IRowset* rowset, DBROWCOUNT count) {
  std::vector<HROW> rows(static_cast<size_t>(count));
  HROW* p = rows.data();
  DBCOUNTITEM obtained = 0;
  rowset->GetNextRows(DB_NULL_HCHAPTER, 0, count, &obtained, &p);
  rows.resize(obtained);
  return rows;
}

bool Mentions(const std::vector<std::string>& errors, const std::string& text) {
  for (const auto& e : errors)
    if (e.find(text) != std::string::npos) return true;
  return false;
}

class SqliteEditSafety : public testing::Test {
 protected:
  SqliteEditSafety() : m_file(EmptyDb()) {}
  const std::string& Path() const { return m_file.Path(); }
  ComPtr<IUnknown> Session() {
    m_init = OpenDataSource(CLSID_RavezovSQLite, Path());
    return CreateSession(m_init);
  }

  ComApartment m_apartment;
  TempFileCopy m_file;
  ComPtr<IDBInitialize> m_init;
};

}  // namespace

// ---- A user column named like the row id ------------------------------

TEST_F(SqliteEditSafety, AColumnNamedRowidDoesNotStandInForTheRowId) {
  Exec(Path(), "create table p(rowid int, v text); insert into p values (7, 'a'), (7, 'b'), (8, 'c');"
               "create table k(rowid int, code text primary key, v text);"
               "insert into k values (1, 'x', 'a'), (1, 'y', 'b');");
  auto session = Session();
  HRESULT hr;
  auto table = OpenTable(session, "p", &hr);
  ASSERT_EQ(hr, S_OK);
  auto rows = Fetch(table, 3);
  ASSERT_EQ(rows.size(), 3u);
  HACCESSOR accessor = TextAccessor(table, 2, kTextWidth);
  char edited[32] = "edited";
  EXPECT_EQ(table.As<IRowsetChange>()->SetData(rows[0], accessor, edited), S_OK);
  DBROWSTATUS status = 0;
  EXPECT_EQ(table.As<IRowsetChange>()->DeleteRows(DB_NULL_HCHAPTER, 1, &rows[1], &status), S_OK);
  table->ReleaseRows(rows.size(), rows.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Texts(Path(), "select v from p order by _rowid_"), (Strings{"edited", "c"}));

  // A command result finds its rows by the primary key, not by the column.
  auto command = Execute(session, "select * from k", {{DBPROP_IRowsetChange, 1}});
  ASSERT_EQ(command.hr, S_OK);
  auto keyed = Fetch(command.rowset, 1);
  ASSERT_EQ(keyed.size(), 1u);
  HACCESSOR byKey = TextAccessor(command.rowset, 3, kTextWidth);
  EXPECT_EQ(command.rowset.As<IRowsetChange>()->SetData(keyed[0], byKey, edited), S_OK);
  command.rowset->ReleaseRows(1, keyed.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Texts(Path(), "select v from k order by code"), (Strings{"edited", "b"}));
}

TEST_F(SqliteEditSafety, WithEveryRowIdNameTakenTheIntegerKeyServesOrNothingIsWritten) {
  Exec(Path(), "create table q(rowid int, _rowid_ int, oid int, id integer primary key, v text);"
               "insert into q values (1, 1, 1, 10, 'a'), (1, 1, 1, 20, 'b');"
               "create table r(rowid int, _rowid_ int, oid int, v text);"
               "insert into r values (1, 1, 1, 'a'), (1, 1, 1, 'b');"
               "create table d(rowid int, _rowid_ int, oid int, id integer primary key desc, v text);"
               "insert into d values (5, 5, 5, 1, 'a'), (5, 5, 5, 2, 'b');");
  auto session = Session();
  HRESULT hr;
  auto aliased = OpenTable(session, "q", &hr);
  ASSERT_EQ(hr, S_OK);
  auto rows = Fetch(aliased, 2);
  ASSERT_EQ(rows.size(), 2u);
  char edited[32] = "edited";
  EXPECT_EQ(aliased.As<IRowsetChange>()->SetData(rows[1], TextAccessor(aliased, 5, kTextWidth), edited), S_OK);
  aliased->ReleaseRows(rows.size(), rows.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Texts(Path(), "select v from q order by id"), (Strings{"a", "edited"}));

  auto hidden = OpenTable(session, "r", &hr);
  EXPECT_EQ(hr, DB_E_ERRORSOCCURRED);
  EXPECT_FALSE(hidden);
  EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "hide its row id"));

  // INTEGER PRIMARY KEY DESC is no alias of the row id, yet a key: rows are
  // found by it.
  auto descending = OpenTable(session, "d", &hr);
  ASSERT_EQ(hr, S_OK);
  rows = Fetch(descending, 2);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(descending.As<IRowsetChange>()->SetData(rows[0], TextAccessor(descending, 5, kTextWidth), edited), S_OK);
  descending->ReleaseRows(rows.size(), rows.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Texts(Path(), "select v from d order by id"), (Strings{"edited", "b"}));
}

TEST_F(SqliteEditSafety, AChangeThatWouldReachSeveralRowsChangesNone) {
  // Rowid tables let a non-integer primary key hold NULL more than once.
  Exec(Path(), "create table n(code text primary key, v text); insert into n values (null, 'a'), (null, 'b');");
  auto session = Session();
  auto command = Execute(session, "select code, v from n", {{DBPROP_IRowsetChange, 1}});
  ASSERT_EQ(command.hr, S_OK);
  auto rows = Fetch(command.rowset, 1);
  ASSERT_EQ(rows.size(), 1u);
  auto change = command.rowset.As<IRowsetChange>();
  DBROWSTATUS status = 0;
  EXPECT_EQ(change->DeleteRows(DB_NULL_HCHAPTER, 1, rows.data(), &status), DB_E_ERRORSOCCURRED);
  EXPECT_FALSE(TakeErrorDescriptions().empty());
  char edited[32] = "edited";
  EXPECT_TRUE(FAILED(change->SetData(rows[0], TextAccessor(command.rowset, 2, kTextWidth), edited)));
  EXPECT_FALSE(TakeErrorDescriptions().empty());
  command.rowset->ReleaseRows(1, rows.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Texts(Path(), "select v from n order by v"), (Strings{"a", "b"}));
}

// ---- A damaged page mid-table ------------------------------------------

namespace {

// Breaks the b-tree page holding `marker` by giving it an invalid page type.
void DamagePageHolding(const std::string& path, const std::string& marker) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  size_t at = bytes.find(marker);
  ASSERT_NE(at, std::string::npos) << marker;
  const size_t pageSize = 4096;
  file.seekp(static_cast<std::streamoff>(at / pageSize * pageSize));
  file.put('\x00');
}

}  // namespace

TEST_F(SqliteEditSafety, AReadErrorMidTableIsReportedAfterTheRowsBeforeIt) {
  Exec(Path(), "pragma page_size = 4096; vacuum; create table t(id integer primary key, v text);"
               "with recursive n(i) as (select 1 union all select i + 1 from n where i < 2000) "
               "insert into t select i, printf('row-%05d-', i) || printf('%.180c', 'x') from n;");
  DamagePageHolding(Path(), "row-00701-");
  DamagePageHolding(Path(), "row-01400-");
  for (bool bookmarks : {false, true}) {
    SCOPED_TRACE(bookmarks ? "with bookmarks" : "forward only");
    auto session = Session();
    auto result = Execute(session, "select id from t",
                          bookmarks ? std::vector<RowsetProperty>{{DBPROP_IRowsetLocate, 1}}
                                    : std::vector<RowsetProperty>{});
    ASSERT_EQ(result.hr, S_OK);
    size_t total = 0;
    HRESULT hr = S_OK;
    for (;;) {
      HROW rows[20];
      HROW* p = rows;
      DBCOUNTITEM obtained = 0;
      hr = result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p);
      ASSERT_NE(hr, DB_S_ENDOFROWSET) << "after " << total << " rows";
      if (FAILED(hr)) break;
      total += obtained;
      result.rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    }
    EXPECT_GT(total, 600u);
    EXPECT_LT(total, 701u);
    EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "malformed"));
    // The failure stays; it never turns into the end.
    HROW rows[20];
    HROW* p = rows;
    DBCOUNTITEM obtained = 0;
    EXPECT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 20, &obtained, &p), hr);
    EXPECT_EQ(obtained, 0u);
    EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "malformed"));
  }
}

// ---- A lock held by another connection ---------------------------------

namespace {

constexpr LONG kBusySeconds = 1;

ComPtr<IDBInitialize> OpenWithBusyTimeout(const std::string& path) {
  auto init = CreateDataSource(CLSID_RavezovSQLite, path);
  DBPROP prop{};
  prop.dwPropertyID = DBPROP_INIT_TIMEOUT;
  prop.vValue.vt = VT_I4;
  prop.vValue.lVal = kBusySeconds;
  DBPROPSET set{&prop, 1, DBPROPSET_DBINIT};
  EXPECT_EQ(init.As<IDBProperties>()->SetProperties(1, &set), S_OK);
  EXPECT_EQ(init->Initialize(), S_OK);
  return init;
}

class ExclusiveLock {
 public:
  explicit ExclusiveLock(const std::string& path) {
    sqlite3_open(path.c_str(), &m_db);
    EXPECT_EQ(sqlite3_exec(m_db, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
  }
  ~ExclusiveLock() {
    sqlite3_exec(m_db, "commit", nullptr, nullptr, nullptr);
    sqlite3_close(m_db);
  }

 private:
  sqlite3* m_db = nullptr;
};

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST_F(SqliteEditSafety, ALockIsReportedAsALockAfterOneWait) {
  Exec(Path(), "pragma journal_mode = delete; create table t(v text); insert into t values ('a');");
  auto init = OpenWithBusyTimeout(Path());
  auto session = CreateSession(init);
  {
    ExclusiveLock lock(Path());
    auto start = std::chrono::steady_clock::now();
    HRESULT hr;
    auto rowset = OpenTable(session, "t", &hr);
    double waited = SecondsSince(start);
    EXPECT_TRUE(FAILED(hr));
    auto errors = TakeErrorDescriptions();
    EXPECT_TRUE(Mentions(errors, "database is locked"));
    EXPECT_FALSE(Mentions(errors, "does not exist"));
    // One busy timeout, not one per attempt to find the table.
    EXPECT_GE(waited, kBusySeconds * 0.9);
    EXPECT_LT(waited, kBusySeconds * 1.8);

    HRESULT schemaHr = S_OK;
    auto tables = SchemaRowset(session, DBSCHEMA_TABLES, {}, &schemaHr);
    EXPECT_TRUE(FAILED(schemaHr));
    EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "database is locked"));

    auto command = Execute(session, "select * from t");
    EXPECT_TRUE(FAILED(command.hr));
    EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "database is locked"));
  }
  HRESULT hr;
  EXPECT_TRUE(OpenTable(session, "t", &hr));
  EXPECT_EQ(ReadAll(SchemaRowset(session, DBSCHEMA_TABLES, {std::nullopt, std::nullopt, "t"})).size(), 1u);
}

// ---- A read-only file --------------------------------------------------

TEST_F(SqliteEditSafety, EditsOfAReadOnlyFileAreRefusedWithARecord) {
  Exec(Path(), "create table t(v text); insert into t values ('a'), ('b');");
  ASSERT_EQ(chmod(Path().c_str(), 0444), 0);
  // Root writes any file: open it as nobody so the file is read-only for real.
  bool asRoot = geteuid() == 0;
  if (asRoot) setfsuid(65534);
  m_init = OpenDataSource(CLSID_RavezovSQLite, Path());
  if (asRoot) setfsuid(0);
  ASSERT_TRUE(m_init);
  auto session = CreateSession(m_init);
  HRESULT hr;
  auto table = OpenTable(session, "t", &hr);
  ASSERT_EQ(hr, S_OK);
  auto rows = Fetch(table, 1);
  ASSERT_EQ(rows.size(), 1u);
  auto change = table.As<IRowsetChange>();
  HACCESSOR accessor = TextAccessor(table, 1, kTextWidth);
  char edited[32] = "edited";
  EXPECT_TRUE(FAILED(change->SetData(rows[0], accessor, edited)));
  EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "readonly"));
  HROW inserted = 0;
  EXPECT_TRUE(FAILED(change->InsertRow(DB_NULL_HCHAPTER, accessor, edited, &inserted)));
  EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "readonly"));
  DBROWSTATUS status = 0;
  EXPECT_EQ(change->DeleteRows(DB_NULL_HCHAPTER, 1, rows.data(), &status), DB_E_ERRORSOCCURRED);
  EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "readonly"));
  table->ReleaseRows(1, rows.data(), nullptr, nullptr, nullptr);
  EXPECT_EQ(Texts(Path(), "select v from t order by rowid"), (Strings{"a", "b"}));
}

// ---- Commands refused late -----------------------------------------------

TEST_F(SqliteEditSafety, AnInsertReturningRefusedForUpdatabilityInsertsNothing) {
  Exec(Path(), "create table t(id integer primary key, v text);");
  auto session = Session();
  ComPtr<ICommandText> command;
  // An expression in the result makes it read-only: refused before it runs.
  auto refused = Execute(session, "insert into t(v) values ('new') returning id, length(v)",
                         {{DBPROP_IRowsetChange, 1}}, std::addressof(command));
  EXPECT_EQ(refused.hr, DB_E_ERRORSOCCURRED);
  EXPECT_TRUE(Mentions(TakeErrorDescriptions(), "updatable"));
  EXPECT_EQ(Texts(Path(), "select count(*) from t"), (Strings{"0"}));

  // Columns of the table make it updatable: it runs and succeeds.
  auto granted = Execute(session, "insert into t(v) values ('granted') returning id",
                         {{DBPROP_IRowsetChange, 1}});
  EXPECT_EQ(granted.hr, S_OK);
  EXPECT_EQ(ReadAll(granted.rowset).size(), 1u);
  granted.rowset = nullptr;

  // Asked for no rowset, in the default dialect, the statement still runs.
  ASSERT_EQ(command->SetCommandText(GUID_NULL, u"insert into t(v) values ('kept') returning id"), S_OK);
  ComPtr<IUnknown> none;
  EXPECT_EQ(command->Execute(nullptr, GUID_NULL, nullptr, nullptr, &none), S_OK);
  EXPECT_FALSE(none);
  EXPECT_EQ(Texts(Path(), "select v from t order by id"), (Strings{"granted", "kept"}));
}
