// The provider conformance suite over ODBC, on PostgreSQL and on the SQLite
// sample through the SQLite ODBC driver; absent data sources leave it empty.
#include "OdbcProvider.h"
#include "OdbcTestSupport.h"
#include "ProviderConformance.h"
#include "TestEnvironment.h"

namespace {

void CommonExpectations(ProviderProfile& p) {
  p.clsid = CLSID_RavezovODBC;
  p.tables = {"Desks", "Instruments", "Notes", "Order Details", "Orders", "Trades", "Traders"};
  p.schemas = StandardSchemaExpectations();
  p.badSql = "selec * frm Trades";
  p.editOrdinal = 2;  // title
  p.editRowCount = 7;
}

std::string SqliteSample() { return std::string(SamplesDir()) + "/trading.db"; }

std::vector<ProviderProfile> OdbcProfiles() {
  std::vector<ProviderProfile> profiles;
  if (auto pg = PostgresTarget()) {
    ProviderProfile p;
    CommonExpectations(p);
    p.name = "OdbcPostgres";
    p.sampleDataSource = [dsn = pg->dsn] { return dsn; };
    p.literals = {{DBLITERAL_QUOTE_PREFIX, true, "\""}, {DBLITERAL_QUOTE_SUFFIX, true, "\""},
                  {DBLITERAL_TABLE_NAME, true, nullptr}};
    p.qualifiedTable = "public.\"Order Details\"";
    p.joinSql = "select o.id, t.name from \"Orders\" o join \"Traders\" t on t.id = o.trader_id";
    // The throwaway server takes the edits itself; the copy is only the
    // suite's token of a writable sample.
    p.writableCopy = [] { return std::make_unique<TempFileCopy>(SqliteSample()); };
    p.openWritable = [target = *pg](const std::string&) {
      auto init = CreateOdbcDataSource(target.dsn, target.user, target.password);
      return init && SUCCEEDED(init->Initialize()) ? init : nullptr;
    };
    p.editQuery = "select * from \"Notes\"";
    p.firstEditedValueQuery = "select title from \"Notes\" where id = 1";
    p.countOfValueQuery = "select count(*) from \"Notes\" where title =";
    p.rowCountQuery = "select count(*) from \"Notes\"";
    profiles.push_back(p);
  }
  if (auto sqlite = SqliteOdbcTarget()) {
    ProviderProfile p;
    CommonExpectations(p);
    p.name = "OdbcSqlite";
    p.sampleDataSource = [dsn = sqlite->dsn] { return dsn; };
    p.literals = {{DBLITERAL_QUOTE_PREFIX, true, "\""}, {DBLITERAL_QUOTE_SUFFIX, true, "\""},
                  {DBLITERAL_TABLE_NAME, true, nullptr}};
    p.qualifiedTable = "\"Order Details\"";
    p.joinSql = "select o.id, t.name from Orders o join Traders t on t.id = o.trader_id";
    p.writableCopy = [] { return std::make_unique<TempFileCopy>(SqliteSample()); };
    p.openWritable = [](const std::string& copy) {
      auto init = CreateOdbcDataSource({}, {}, {}, "Driver={SQLite3};Database=" + copy);
      return init && SUCCEEDED(init->Initialize()) ? init : nullptr;
    };
    p.editQuery = "select * from Notes";
    p.firstEditedValueQuery = "select title from Notes where id = 1";
    p.countOfValueQuery = "select count(*) from Notes where title =";
    p.rowCountQuery = "select count(*) from Notes";
    profiles.push_back(p);
  }
  return profiles;
}

}  // namespace

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ProviderConformance);
INSTANTIATE_TEST_SUITE_P(Odbc, ProviderConformance, testing::ValuesIn(OdbcProfiles()), PrintProfileName);
