// The SQLite schema rowsets fill the kit's standard layouts by column name:
// each cell the catalog knows lands in its named column (a misspelt name
// would leave it null), and restrictions compare names without case.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"

namespace {

using NamedRow = std::map<std::string, std::optional<std::string>>;

std::vector<NamedRow> NamedRows(IUnknown* session, REFGUID schema,
                                const std::vector<std::optional<std::string>>& restrictions) {
  auto rowset = SchemaRowset(session, schema, restrictions);
  std::vector<NamedRow> out;
  if (!rowset) return out;
  auto names = ColumnNames(rowset);
  for (const TextRow& row : ReadAll(rowset)) {
    NamedRow named;
    for (size_t i = 0; i < names.size() && i < row.size(); ++i) named[names[i]] = row[i];
    out.push_back(std::move(named));
  }
  return out;
}

struct ExpectedCells {
  const char* schemaName;
  const GUID* schema;
  std::vector<std::optional<std::string>> restrictions;
  size_t rowCount;
  std::map<std::string, std::string> firstRow;  // column -> text
};

class SqliteSchemaRowsets : public testing::Test {
 protected:
  void SetUp() override {
    m_session = CreateSession(OpenDataSource(CLSID_RavezovSQLite, TradingDb()));
    ASSERT_TRUE(m_session);
  }
  ComApartment m_apartment;
  ComPtr<IUnknown> m_session;
};

}  // namespace

TEST_F(SqliteSchemaRowsets, EveryKnownCellLandsInItsNamedColumn) {
  const std::nullopt_t any = std::nullopt;
  const ExpectedCells cases[] = {
      {"CATALOGS", &DBSCHEMA_CATALOGS, {"MAIN"}, 1, {{"CATALOG_NAME", "main"}}},
      {"TABLES", &DBSCHEMA_TABLES, {any, any, "trades"}, 1,
       {{"TABLE_CATALOG", "main"}, {"TABLE_NAME", "Trades"}, {"TABLE_TYPE", "TABLE"}}},
      {"COLUMNS", &DBSCHEMA_COLUMNS, {any, any, "Trades", "price"}, 1,
       {{"COLUMN_NAME", "price"}, {"ORDINAL_POSITION", "5"}, {"DATA_TYPE", "5"}, {"IS_NULLABLE", "0"},
        {"COLUMN_HASDEFAULT", "0"}, {"NUMERIC_PRECISION", "15"}}},
      {"PRIMARY_KEYS", &DBSCHEMA_PRIMARY_KEYS, {any, any, "Order Details"}, 2,
       {{"TABLE_NAME", "Order Details"}, {"COLUMN_NAME", "order_id"}, {"ORDINAL", "1"}}},
      {"FOREIGN_KEYS", &DBSCHEMA_FOREIGN_KEYS, {any, any, "Instruments", any, any, "Trades"}, 1,
       {{"PK_TABLE_NAME", "Instruments"}, {"PK_COLUMN_NAME", "symbol"}, {"FK_TABLE_NAME", "Trades"},
        {"FK_COLUMN_NAME", "instrument"}, {"ORDINAL", "1"}, {"UPDATE_RULE", "NO ACTION"},
        {"DELETE_RULE", "NO ACTION"}}},
      {"INDEXES", &DBSCHEMA_INDEXES, {any, any, "idx_trades_instrument_time"}, 2,
       {{"TABLE_NAME", "Trades"}, {"INDEX_NAME", "idx_trades_instrument_time"}, {"UNIQUE", "0"},
        {"PRIMARY_KEY", "0"}, {"TYPE", "1"}, {"ORDINAL_POSITION", "1"}, {"COLUMN_NAME", "instrument"},
        {"COLLATION", "1"}}},
      {"VIEWS", &DBSCHEMA_VIEWS, {any, any, "Trader Volume"}, 1,
       {{"TABLE_NAME", "Trader Volume"}, {"IS_UPDATABLE", "0"}}},
      {"STATISTICS", &DBSCHEMA_STATISTICS, {any, any, "Trades"}, 1, {{"CARDINALITY", "12000"}}},
      {"PROVIDER_TYPES", &DBSCHEMA_PROVIDER_TYPES, {"130"}, 1,
       {{"TYPE_NAME", "TEXT"}, {"LITERAL_PREFIX", "'"}, {"LITERAL_SUFFIX", "'"}, {"IS_LONG", "1"},
        {"BEST_MATCH", "1"}, {"CASE_SENSITIVE", "1"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.schemaName);
    auto rows = NamedRows(m_session, *c.schema, c.restrictions);
    ASSERT_EQ(rows.size(), c.rowCount);
    for (const auto& [column, text] : c.firstRow) {
      ASSERT_TRUE(rows[0].count(column)) << column << " is not a column of the rowset";
      EXPECT_EQ(rows[0][column].value_or("<null>"), text) << column;
    }
  }
}

TEST_F(SqliteSchemaRowsets, RestrictionsAreCheckedAgainstTheLayout) {
  HRESULT hr = S_OK;
  // One more restriction than PRIMARY_KEYS has.
  SchemaRowset(m_session, DBSCHEMA_PRIMARY_KEYS, {std::nullopt, std::nullopt, "Trades", "x"}, &hr);
  EXPECT_EQ(hr, E_INVALIDARG);
  EXPECT_EQ(TakeErrorDescriptions().size(), 1u);
  // Column names cannot restrict FOREIGN_KEYS: restriction 5 is the schema.
  SchemaRowset(m_session, DBSCHEMA_FOREIGN_KEYS, {std::nullopt, std::nullopt, std::nullopt, std::nullopt, "s"},
               &hr);
  EXPECT_EQ(hr, DB_E_NOTSUPPORTED);
  auto records = TakeErrorDescriptions();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_NE(records[0].find("FK_TABLE_SCHEMA"), std::string::npos) << records[0];
}
