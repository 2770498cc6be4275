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
  const std::vector<std::string> table3 = {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME"};
  p.schemas = {
      {&DBSCHEMA_CATALOGS, {"CATALOG_NAME", "DESCRIPTION"}},
      {&DBSCHEMA_TABLES, {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "TABLE_TYPE", "TABLE_GUID",
                          "DESCRIPTION", "TABLE_PROPID", "DATE_CREATED", "DATE_MODIFIED"}},
      {&DBSCHEMA_COLUMNS, {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME", "COLUMN_GUID",
                           "COLUMN_PROPID", "ORDINAL_POSITION", "COLUMN_HASDEFAULT", "COLUMN_DEFAULT",
                           "COLUMN_FLAGS", "IS_NULLABLE", "DATA_TYPE"}},
      {&DBSCHEMA_PRIMARY_KEYS, {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "COLUMN_NAME",
                                "COLUMN_GUID", "COLUMN_PROPID", "ORDINAL", "PK_NAME"}},
      {&DBSCHEMA_FOREIGN_KEYS, {"PK_TABLE_CATALOG", "PK_TABLE_SCHEMA", "PK_TABLE_NAME", "PK_COLUMN_NAME"}},
      {&DBSCHEMA_INDEXES, {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "INDEX_CATALOG",
                           "INDEX_SCHEMA", "INDEX_NAME", "PRIMARY_KEY", "UNIQUE", "CLUSTERED", "TYPE"}},
      {&DBSCHEMA_VIEWS, {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "VIEW_DEFINITION"}},
      {&DBSCHEMA_STATISTICS, {"TABLE_CATALOG", "TABLE_SCHEMA", "TABLE_NAME", "CARDINALITY"}},
      {&DBSCHEMA_PROVIDER_TYPES, {"TYPE_NAME", "DATA_TYPE", "COLUMN_SIZE"}},
  };
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
