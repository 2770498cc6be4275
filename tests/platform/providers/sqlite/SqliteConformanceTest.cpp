#include "ProviderConformance.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"

namespace {

ProviderProfile SqliteProfile() {
  ProviderProfile p;
  p.name = "SQLite";
  p.clsid = CLSID_RavezovSQLite;
  p.sampleDataSource = [] { return TradingDb(); };
  p.writableCopy = [] { return std::make_unique<TempFileCopy>(TradingDb()); };
  p.literals = {{DBLITERAL_CATALOG_NAME, true, nullptr},
                {DBLITERAL_CATALOG_SEPARATOR, true, "."},
                {DBLITERAL_SCHEMA_NAME, false, nullptr},
                {DBLITERAL_SCHEMA_SEPARATOR, false, nullptr},
                {DBLITERAL_QUOTE_PREFIX, true, "\""},
                {DBLITERAL_QUOTE_SUFFIX, true, "\""},
                {DBLITERAL_TABLE_NAME, true, nullptr}};
  // SQLite has no stored procedures.
  p.schemas = StandardSchemaExpectations({&DBSCHEMA_PROCEDURES, &DBSCHEMA_PROCEDURE_PARAMETERS});
  p.tables = {"Desks", "Instruments", "Notes", "Order Details", "Orders", "Trades", "Traders"};
  p.qualifiedTable = "main.\"Order Details\"";
  p.badSql = "selec * frm Trades";
  p.joinSql = "select o.id, t.name from Orders o join Traders t on t.id = o.trader_id";
  p.editQuery = "select * from main.Notes";
  p.editOrdinal = 2;  // title
  p.firstEditedValueQuery = "select title from Notes where id = 1";
  p.countOfValueQuery = "select count(*) from Notes where title =";
  p.rowCountQuery = "select count(*) from Notes";
  p.editRowCount = 7;
  return p;
}

}  // namespace

INSTANTIATE_TEST_SUITE_P(Sqlite, ProviderConformance, testing::Values(SqliteProfile()),
                         PrintProfileName);
