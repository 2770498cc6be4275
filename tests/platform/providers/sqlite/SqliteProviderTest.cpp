#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstring>
#include <thread>
#include <filesystem>
#include <fstream>

#include "ErrorRecords.h"
#include "PromptService.h"
#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

class SqliteProvider : public testing::Test {
 protected:
  ComApartment m_apartment;
};

std::string ScalarText(IUnknown* session, const std::string& sql) {
  auto result = Execute(session, sql);
  if (!result.rowset) return "<no rowset>";
  auto rows = ReadAll(result.rowset);
  return rows.empty() || !rows[0][0] ? "<null>" : *rows[0][0];
}

ComPtr<IRowset> OpenTable(IUnknown* session, const std::u16string& name, HRESULT* hr,
                          ULONG cProps = 0, DBPROPSET* props = nullptr) {
  DBID id{};
  id.eKind = DBKIND_NAME;
  std::u16string copy = name;
  id.uName.pwszName = copy.data();
  ComPtr<IRowset> rowset;
  *hr = session ? ComPtr<IUnknown>(session).As<IOpenRowset>()->OpenRowset(
                      nullptr, &id, nullptr, IID_IRowset, cProps, props,
                      reinterpret_cast<IUnknown**>(&rowset))
                : E_FAIL;
  return rowset;
}

}  // namespace

TEST_F(SqliteProvider, IsCreatedThroughTheClassRegistry) {
  ComPtr<IDBInitialize> init;
  ASSERT_EQ(CoCreateInstance(CLSID_RavezovSQLite, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                             reinterpret_cast<void**>(&init)),
            S_OK);
  EXPECT_TRUE(init.As<IDBInfo>());
  EXPECT_TRUE(init.As<ISupportErrorInfo>());
}

TEST_F(SqliteProvider, InitializationStatesAreEnforced) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  ASSERT_TRUE(init);
  EXPECT_EQ(init->Initialize(), DB_E_ALREADYINITIALIZED);
  {
    auto session = CreateSession(init);
    ASSERT_TRUE(session);
    EXPECT_EQ(init->Uninitialize(), DB_E_OBJECTOPEN);
  }
  // Initialization properties are read-only once initialized.
  auto fresh = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  DBPROP prop{};
  prop.dwPropertyID = DBPROP_INIT_TIMEOUT;
  prop.vValue.vt = VT_I4;
  prop.vValue.lVal = 3;
  DBPROPSET set{&prop, 1, DBPROPSET_DBINIT};
  EXPECT_TRUE(FAILED(fresh.As<IDBProperties>()->SetProperties(1, &set)));
  EXPECT_EQ(init->Uninitialize(), S_OK);
  EXPECT_EQ(init->Initialize(), S_OK);
}

TEST_F(SqliteProvider, MissingFileIsNeverCreated) {
  std::string path = (std::filesystem::temp_directory_path() / "ravezov-missing-XYZ.db").string();
  std::filesystem::remove(path);
  auto init = CreateDataSource(CLSID_RavezovSQLite, path);
  ASSERT_TRUE(init);
  EXPECT_TRUE(FAILED(init->Initialize()));
  auto errors = TakeErrorDescriptions();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find(path), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SqliteProvider, FileThatIsNoDatabaseFailsAtInitialize) {
  std::string path = (std::filesystem::temp_directory_path() / "ravezov-not-a-db.txt").string();
  std::ofstream(path) << "this is plain text, long enough to look like something else entirely\n";
  auto init = CreateDataSource(CLSID_RavezovSQLite, path);
  EXPECT_TRUE(FAILED(init->Initialize()));
  auto errors = TakeErrorDescriptions();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("not a database"), std::string::npos);
  std::filesystem::remove(path);
}

TEST_F(SqliteProvider, ReadOnlyModeRefusesWrites) {
  TempFileCopy copy(TradingDb());
  auto init = OpenDataSource(CLSID_RavezovSQLite, copy.Path(), DB_MODE_READ);
  ASSERT_TRUE(init);
  auto session = CreateSession(init);
  auto result = Execute(session, "delete from Notes");
  EXPECT_TRUE(FAILED(result.hr));
  EXPECT_EQ(TakeErrorDescriptions().size(), 1u);
  EXPECT_EQ(ScalarText(session, "select count(*) from Notes"), "7");
  // No rowset of a read-only database offers changes.
  auto rows = Execute(session, "select * from Notes");
  EXPECT_FALSE(rows.rowset.As<IRowsetChange>());
}

TEST_F(SqliteProvider, PromptingWithoutAPromptIsCanceledAndAPromptCanFillTheFile) {
  auto init = CreateDataSource(CLSID_RavezovSQLite, "");
  DBPROP prop{};
  prop.dwPropertyID = DBPROP_INIT_PROMPT;
  prop.vValue.vt = VT_I2;
  prop.vValue.iVal = DBPROMPT_COMPLETE;
  DBPROPSET set{&prop, 1, DBPROPSET_DBINIT};
  ASSERT_EQ(init.As<IDBProperties>()->SetProperties(1, &set), S_OK);
  auto previous = SetDataSourcePrompt(nullptr);
  EXPECT_EQ(init->Initialize(), DB_E_CANCELED);

  std::string file = TradingDb();
  SetDataSourcePrompt([file](HWND, DBPROMPT, REFCLSID clsid, IDBProperties* properties) {
    EXPECT_EQ(clsid, CLSID_RavezovSQLite);
    DBPROP p{};
    p.dwPropertyID = DBPROP_INIT_DATASOURCE;
    std::u16string wide = AnsiToOle(file);
    p.vValue.vt = VT_BSTR;
    p.vValue.bstrVal = SysAllocString(wide.c_str());
    DBPROPSET s{&p, 1, DBPROPSET_DBINIT};
    HRESULT hr = properties->SetProperties(1, &s);
    VariantClear(&p.vValue);
    return hr;
  });
  EXPECT_EQ(init->Initialize(), S_OK);
  SetDataSourcePrompt(previous);
}

TEST_F(SqliteProvider, KeywordsAreSqlitesOwn) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  LPOLESTR keywords = nullptr;
  ASSERT_EQ(init.As<IDBInfo>()->GetKeywords(&keywords), S_OK);
  std::string text = OleToAnsi(keywords);
  CoTaskMemFree(keywords);
  EXPECT_NE(text.find("AUTOINCREMENT"), std::string::npos);
  EXPECT_EQ(text.find(",SELECT,"), std::string::npos);
}

TEST_F(SqliteProvider, CommandsReportRowsAffectedAndRefuseSecondStatements) {
  TempFileCopy copy(TradingDb());
  auto init = OpenDataSource(CLSID_RavezovSQLite, copy.Path());
  auto session = CreateSession(init);
  auto update = Execute(session, "update Trades set note = 'x' where id <= 10");
  EXPECT_EQ(update.hr, S_OK);
  EXPECT_FALSE(update.rowset);
  EXPECT_EQ(update.rowsAffected, 10);

  auto two = Execute(session, "delete from Notes where id = 1; delete from Notes where id = 2");
  EXPECT_EQ(two.hr, DB_E_MULTIPLESTATEMENTS);
  EXPECT_EQ(TakeErrorDescriptions().size(), 1u);
  EXPECT_EQ(ScalarText(session, "select count(*) from Notes"), "7");

  auto trailing = Execute(session, "delete from Notes where id = 7; -- done\n ;");
  EXPECT_EQ(trailing.hr, S_OK);
  EXPECT_EQ(trailing.rowsAffected, 1);

  auto bad = Execute(session, "select * from Nowhere");
  EXPECT_TRUE(FAILED(bad.hr));
  auto errors = TakeErrorDescriptions();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("no such table: Nowhere"), std::string::npos);
}

TEST_F(SqliteProvider, NotesReadThroughBufferedTextBindings) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  auto result = Execute(session, "select body from Notes where id in (2, 3, 4, 6) order by id");
  ASSERT_TRUE(result.rowset);
  auto values = ReadColumnBuffered(result.rowset, 1);
  ASSERT_EQ(values.size(), 4u);
  EXPECT_EQ(values[0].status, DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(values[0].text.size(), 255u);
  EXPECT_EQ(values[0].length, 300u);
  // A character straddling the limit is left out whole.
  EXPECT_EQ(values[1].status, DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(values[1].text, std::string(254, 'a'));
  EXPECT_EQ(values[2].status, DBSTATUS_S_TRUNCATED);
  EXPECT_EQ(values[2].text, std::string(253, 'a'));
  EXPECT_EQ(values[3].status, DBSTATUS_S_ISNULL);
  EXPECT_EQ(values[3].text, "");
}

TEST_F(SqliteProvider, ColumnTypesFollowDeclaredTypes) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  auto result = Execute(session, "select id, price, note, instrument, 1.5 * 2 from Trades");
  auto columns = ColumnInfo(result.rowset);
  ASSERT_EQ(columns.size(), 5u);
  EXPECT_FALSE(columns[3].dwFlags & DBCOLUMNFLAGS_WRITE);  // an expression makes it read-only
  EXPECT_EQ(columns[0].wType, DBTYPE_I8);
  EXPECT_EQ(columns[1].wType, DBTYPE_R8);
  EXPECT_EQ(columns[2].wType, DBTYPE_WSTR);
  EXPECT_EQ(columns[2].ulColumnSize, ~DBLENGTH{0});
  EXPECT_TRUE(columns[2].dwFlags & DBCOLUMNFLAGS_ISLONG);
  EXPECT_TRUE(columns[2].dwFlags & DBCOLUMNFLAGS_ISNULLABLE);
  EXPECT_FALSE(columns[3].dwFlags & DBCOLUMNFLAGS_ISNULLABLE);
  EXPECT_EQ(columns[4].wType, DBTYPE_R8);  // no declared type: from the value
  auto table = Execute(session, "select * from Trades");
  EXPECT_TRUE(ColumnInfo(table.rowset)[3].dwFlags & DBCOLUMNFLAGS_WRITE);
}

TEST_F(SqliteProvider, TablesOpenByBareBracketedAndQualifiedNames) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  HRESULT hr;
  for (const char16_t* name : {u"Order Details", u"[Order Details]", u"main.\"Order Details\"", u"Trades"}) {
    auto rowset = OpenTable(session, name, &hr);
    EXPECT_EQ(hr, S_OK) << OleToAnsi(name);
    if (rowset) {
      EXPECT_FALSE(ReadAll(rowset).empty());
    }
  }
  auto trades = OpenTable(session, u"Trades", &hr);
  EXPECT_EQ(ReadAll(trades).size(), 12000u);
  EXPECT_EQ(ColumnNames(trades).front(), "id");  // the rowid stays hidden
}

TEST_F(SqliteProvider, SchemaRowsetsHonourRestrictions) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  auto columns = ReadAll(SchemaRowset(session, DBSCHEMA_COLUMNS, {std::nullopt, std::nullopt, "Trades"}));
  ASSERT_EQ(columns.size(), 7u);
  EXPECT_EQ(columns[0][0].value_or(""), "main");
  EXPECT_FALSE(columns[0][1]);
  EXPECT_EQ(columns[4][3].value_or(""), "price");
  auto views = ReadAll(SchemaRowset(session, DBSCHEMA_TABLES, {std::nullopt, std::nullopt, std::nullopt, "VIEW"}));
  ASSERT_EQ(views.size(), 1u);
  EXPECT_EQ(views[0][2].value_or(""), "Trader Volume");
  auto keys = ReadAll(SchemaRowset(session, DBSCHEMA_PRIMARY_KEYS, {std::nullopt, std::nullopt, "Order Details"}));
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0][3].value_or(""), "order_id");
  EXPECT_EQ(keys[1][3].value_or(""), "line_no");
  auto foreign = ReadAll(SchemaRowset(session, DBSCHEMA_FOREIGN_KEYS,
                                      {std::nullopt, std::nullopt, "Traders", std::nullopt, std::nullopt, "Orders"}));
  ASSERT_EQ(foreign.size(), 1u);
  EXPECT_EQ(foreign[0][3].value_or(""), "id");
  EXPECT_EQ(foreign[0][9].value_or(""), "trader_id");
  auto indexes = ReadAll(SchemaRowset(session, DBSCHEMA_INDEXES,
                                      {std::nullopt, std::nullopt, "idx_trades_instrument_time"}));
  ASSERT_EQ(indexes.size(), 2u);
  EXPECT_EQ(indexes[1][17].value_or(""), "traded_at");
  auto stats = ReadAll(SchemaRowset(session, DBSCHEMA_STATISTICS, {std::nullopt, std::nullopt, "Trades"}));
  ASSERT_EQ(stats.size(), 1u);
  EXPECT_EQ(stats[0][3].value_or(""), "12000");
  HRESULT hr = S_OK;
  SchemaRowset(session, DBSCHEMA_TABLES, {std::nullopt, "dbo"}, &hr);
  EXPECT_EQ(hr, DB_E_NOTSUPPORTED);
}

TEST_F(SqliteProvider, ExpressionsAndReadOnlyResultsOfferNoChanges) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  auto view = Execute(session, "select * from \"Trader Volume\"");
  ASSERT_TRUE(view.rowset);
  EXPECT_FALSE(view.rowset.As<IRowsetChange>());
  auto required = Execute(session, "select count(*) from Trades", {{DBPROP_IRowsetChange, 1}});
  EXPECT_EQ(required.hr, DB_E_ERRORSOCCURRED);
  auto errors = TakeErrorDescriptions();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("updatable"), std::string::npos);
}

namespace {
struct Row {
  DBBKMARK bookmark;
  int64_t id;
  DBSTATUS status;
};
}  // namespace

TEST_F(SqliteProvider, BookmarksFindRowsAgain) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  // The key column gives row ids as bookmarks; an expression gives positions.
  for (const char* sql : {"select id from Trades order by id", "select id * 1 from Trades order by id"}) {
    SCOPED_TRACE(sql);
    auto result = Execute(session, sql, {{DBPROP_IRowsetLocate, 1}});
    auto locate = result.rowset.As<IRowsetLocate>();
    ASSERT_TRUE(locate);
    auto columns = ColumnInfo(result.rowset);
    EXPECT_EQ(columns[0].iOrdinal, 0u);  // the bookmark column leads
    DBBINDING b[2] = {};
    b[0].iOrdinal = 0;
    b[0].dwPart = DBPART_VALUE;
    b[0].cbMaxLen = sizeof(DBBKMARK);
    b[0].wType = DBTYPE_BYTES;
    b[1].iOrdinal = 1;
    b[1].obValue = offsetof(Row, id);
    b[1].obStatus = offsetof(Row, status);
    b[1].dwPart = DBPART_VALUE | DBPART_STATUS;
    b[1].wType = DBTYPE_I8;
    HACCESSOR accessor = 0;
    DBBINDSTATUS bindStatus[2] = {};
    ASSERT_EQ(result.rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 2, b, sizeof(Row),
                                                           &accessor, bindStatus), S_OK);
    // The rows are released before their bookmarks are used.
    DBCOUNTITEM obtained = 0;
    HROW* rows = nullptr;
    ASSERT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 101, &obtained, &rows), S_OK);
    ASSERT_EQ(obtained, 101u);
    Row hundredth{}, next{};
    ASSERT_EQ(result.rowset->GetData(rows[99], accessor, &hundredth), S_OK);
    ASSERT_EQ(result.rowset->GetData(rows[100], accessor, &next), S_OK);
    result.rowset->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    CoTaskMemFree(rows);
    rows = nullptr;

    ASSERT_EQ(locate->GetRowsAt(0, DB_NULL_HCHAPTER, sizeof(DBBKMARK),
                                reinterpret_cast<BYTE*>(&hundredth.bookmark), 0, 2, &obtained, &rows),
              S_OK);
    ASSERT_EQ(obtained, 2u);
    Row read{};
    ASSERT_EQ(result.rowset->GetData(rows[0], accessor, &read), S_OK);
    EXPECT_EQ(read.id, 100) << hundredth.status;
    EXPECT_EQ(read.bookmark, hundredth.bookmark);
    ASSERT_EQ(result.rowset->GetData(rows[1], accessor, &read), S_OK);
    EXPECT_EQ(read.id, 101);
    EXPECT_EQ(read.bookmark, next.bookmark);
    DBCOMPARE comparison = DBCOMPARE_NOTCOMPARABLE;
    EXPECT_EQ(locate->Compare(DB_NULL_HCHAPTER, sizeof(DBBKMARK), reinterpret_cast<BYTE*>(&hundredth.bookmark),
                              sizeof(DBBKMARK), reinterpret_cast<BYTE*>(&next.bookmark), &comparison),
              S_OK);
    EXPECT_EQ(comparison, DBCOMPARE_LT);
    BYTE shortBookmark[2] = {1, 0};
    EXPECT_EQ(locate->Compare(DB_NULL_HCHAPTER, sizeof shortBookmark, shortBookmark, sizeof(DBBKMARK),
                              reinterpret_cast<BYTE*>(&hundredth.bookmark), &comparison),
              DB_E_BADBOOKMARK);
    EXPECT_EQ(TakeErrorDescriptions().size(), 1u);
    result.rowset.As<IAccessor>()->ReleaseAccessor(accessor, nullptr);
    locate->ReleaseRows(obtained, rows, nullptr, nullptr, nullptr);
    CoTaskMemFree(rows);
    EXPECT_EQ(result.rowset->RestartPosition(DB_NULL_HCHAPTER), DB_S_COMMANDREEXECUTED);
    EXPECT_EQ(ReadAll(result.rowset).size(), 12000u);
  }
}

TEST_F(SqliteProvider, CommandTextKeepsItsDialect) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  ComPtr<ICommandText> command;
  ComPtr<IDBCreateCommand> create = session.As<IDBCreateCommand>();
  ASSERT_EQ(create->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command)), S_OK);
  GUID dialect = DBGUID_DBSQL;
  LPOLESTR text = nullptr;
  EXPECT_EQ(command->GetCommandText(&dialect, &text), DB_E_NOCOMMAND);
  EXPECT_EQ(command->SetCommandText(DBGUID_MDX, u"select 1"), DB_E_DIALECTNOTSUPPORTED);
  ASSERT_EQ(command->SetCommandText(DBGUID_DBSQL, u"select 1"), S_OK);
  ASSERT_EQ(command->GetCommandText(&dialect, &text), S_OK);
  EXPECT_EQ(dialect, DBGUID_DBSQL);
  EXPECT_EQ(OleToAnsi(text), "select 1");
  CoTaskMemFree(text);
  ComPtr<IUnknown> none;
  EXPECT_EQ(command->Execute(nullptr, GUID_NULL, nullptr, nullptr, &none), S_OK);
  EXPECT_FALSE(none);
}

TEST_F(SqliteProvider, AttachedDatabasesAreCatalogs) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, EmptyDb());
  auto session = CreateSession(init);
  ASSERT_EQ(Execute(session, "attach database '" + TradingDb() + "' as trading").hr, S_OK);
  auto catalogs = ReadAll(SchemaRowset(session, DBSCHEMA_CATALOGS, {}));
  std::vector<std::string> names;
  for (const auto& row : catalogs) names.push_back(row[0].value_or(""));
  EXPECT_NE(std::find(names.begin(), names.end(), "trading"), names.end());
  auto tables = ReadAll(SchemaRowset(session, DBSCHEMA_TABLES, {"trading", std::nullopt, std::nullopt, "TABLE"}));
  EXPECT_EQ(tables.size(), 7u);
  EXPECT_TRUE(ReadAll(SchemaRowset(session, DBSCHEMA_TABLES, {"main"})).empty());
  HRESULT hr;
  auto rowset = OpenTable(session, u"trading.Desks", &hr);
  EXPECT_EQ(hr, S_OK);
  // Numeric restrictions typed as text are understood.
  std::vector<std::optional<std::string>> integerType = {"20"};
  auto types = ReadAll(SchemaRowset(session, DBSCHEMA_PROVIDER_TYPES, integerType));
  ASSERT_EQ(types.size(), 1u);
  EXPECT_EQ(types[0][0].value_or(""), "INTEGER");
}

TEST_F(SqliteProvider, TablesWithoutRowidOrKeyAreWrittenByWhatIdentifiesTheirRows) {
  TempFileCopy copy(EmptyDb());
  auto init = OpenDataSource(CLSID_RavezovSQLite, copy.Path());
  auto session = CreateSession(init);
  ASSERT_EQ(Execute(session, "create table Pairs (k text primary key, v text) without rowid").hr, S_OK);
  ASSERT_EQ(Execute(session, "create table Loose (v text)").hr, S_OK);
  ASSERT_EQ(Execute(session, "insert into Pairs values ('a', 'one'), ('b', 'two')").hr, S_OK);
  ASSERT_EQ(Execute(session, "insert into Loose values ('x'), ('x')").hr, S_OK);

  // A rowid table without a key is updatable when opened by name (the
  // rowid comes along), not as a command result.
  EXPECT_FALSE(Execute(session, "select * from Loose").rowset.As<IRowsetChange>());
  for (const char16_t* table : {u"Pairs", u"Loose"}) {
    HRESULT hr;
    auto rowset = OpenTable(session, table, &hr);
    ASSERT_EQ(hr, S_OK);
    auto change = rowset.As<IRowsetChange>();
    ASSERT_TRUE(change) << OleToAnsi(table);
    DBBINDING b{};
    b.iOrdinal = static_cast<DBORDINAL>(ColumnNames(rowset).size());  // the last column, v
    b.dwPart = DBPART_VALUE;
    b.cbMaxLen = 16;
    b.wType = DBTYPE_STR;
    HACCESSOR accessor = 0;
    DBBINDSTATUS status = 0;
    ASSERT_EQ(rowset.As<IAccessor>()->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 16, &accessor, &status), S_OK);
    HROW rows[1];
    HROW* p = rows;
    DBCOUNTITEM obtained = 0;
    ASSERT_EQ(rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, &obtained, &p), S_OK);
    char value[16] = "changed";
    EXPECT_EQ(change->SetData(rows[0], accessor, value), S_OK);
    rowset->ReleaseRows(1, rows, nullptr, nullptr, nullptr);
  }
  EXPECT_EQ(ScalarText(session, "select v from Pairs where k = 'a'"), "changed");
  EXPECT_EQ(ScalarText(session, "select count(*) from Loose where v = 'changed'"), "1");
}

TEST_F(SqliteProvider, CancelInterruptsARunningStatement) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, EmptyDb());
  auto session = CreateSession(init);
  ComPtr<ICommandText> command;
  ASSERT_EQ(session.As<IDBCreateCommand>()->CreateCommand(nullptr, IID_ICommandText,
                                                          reinterpret_cast<IUnknown**>(&command)),
            S_OK);
  ASSERT_EQ(command->SetCommandText(DBGUID_DBSQL,
                                    u"with recursive n(i) as (select 1 union all select i + 1 from n "
                                    u"where i < 2000000000) select count(*) from n"),
            S_OK);
  HRESULT hr = S_OK;
  std::atomic<bool> done{false};
  std::thread runner([&] {
    ComApartment apartment;
    ComPtr<IRowset> rowset;
    hr = command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(&rowset));
    done = true;
  });
  // Cancel until the statement notices: a cancel before it starts running
  // has nothing to stop.
  while (!done) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    command->Cancel();
  }
  runner.join();
  EXPECT_EQ(hr, DB_E_CANCELED);
}

TEST_F(SqliteProvider, FetchingAndWritingFailuresLeaveOneRecordNamingTheInterface) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  auto session = CreateSession(init);
  auto result = Execute(session, "select id from Trades order by id", {{DBPROP_IRowsetLocate, 1}});
  ASSERT_EQ(result.hr, S_OK);
  DBCOUNTITEM obtained = 0;
  HROW* rows = nullptr;
  EXPECT_EQ(result.rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, nullptr, &rows), E_INVALIDARG);
  EXPECT_TRUE(TookOneRecord(E_INVALIDARG, IID_IRowset, CLSID_RavezovSQLite)) << "no count to fill";
  EXPECT_EQ(result.rowset->GetNextRows(7, 0, 1, &obtained, &rows), DB_E_BADCHAPTER);
  EXPECT_TRUE(TookOneRecord(DB_E_BADCHAPTER, IID_IRowset, CLSID_RavezovSQLite)) << "a chapter";
  HROW bogus = 424242;
  DBROWSTATUS status = DBROWSTATUS_S_OK;
  EXPECT_EQ(result.rowset->ReleaseRows(1, &bogus, nullptr, nullptr, &status), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(status, DBROWSTATUS_E_INVALID);
  EXPECT_TRUE(TookOneRecord(DB_E_ERRORSOCCURRED, IID_IRowset, CLSID_RavezovSQLite)) << "an unknown row released";

  auto locate = result.rowset.As<IRowsetLocate>();
  ASSERT_TRUE(locate);
  EXPECT_EQ(locate->GetRowsAt(0, 3, 0, nullptr, 0, 1, &obtained, &rows), DB_E_BADCHAPTER);
  EXPECT_TRUE(TookOneRecord(DB_E_BADCHAPTER, IID_IRowsetLocate, CLSID_RavezovSQLite)) << "a chapter given to GetRowsAt";
  DBBKMARK length = 3;
  BYTE shortBookmark[3] = {};
  const BYTE* bookmarks[] = {shortBookmark};
  DBHASHVALUE hash = 0;
  EXPECT_EQ(locate->Hash(DB_NULL_HCHAPTER, 1, &length, bookmarks, &hash, &status), DB_E_ERRORSOCCURRED);
  EXPECT_TRUE(TookOneRecord(DB_E_ERRORSOCCURRED, IID_IRowsetLocate, CLSID_RavezovSQLite)) << "no bookmark to hash";

  // An unknown row deletes nothing, so the sample is safe.
  auto change = result.rowset.As<IRowsetChange>();
  ASSERT_TRUE(change);
  EXPECT_EQ(change->DeleteRows(DB_NULL_HCHAPTER, 1, &bogus, &status), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(status, DBROWSTATUS_E_INVALID);
  EXPECT_TRUE(TookOneRecord(DB_E_ERRORSOCCURRED, IID_IRowsetChange, CLSID_RavezovSQLite)) << "an unknown row deleted";
}
