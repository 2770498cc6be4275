// The pure text work of the ODBC provider: connection strings built from
// the initialization properties, and statements counted in command text.
#include <gtest/gtest.h>

#include "OdbcConnectionString.h"
#include "OdbcStatementCount.h"
#include "stringapiset.h"

namespace {

std::string Built(const OdbcConnectionSettings& s) { return OleToAnsi(BuildOdbcConnectionString(s)); }

TEST(OdbcConnectionString, NamedValuesFollowTheExtendedPropertiesAndAreBracedWhenNeeded) {
  OdbcConnectionSettings s;
  s.dataSource = u"Sales";
  s.userId = u"ann";
  s.password = u"p;w}d";
  s.initialCatalog = u"db";
  EXPECT_EQ(Built(s), "DSN=Sales;UID=ann;PWD={p;w}}d};DATABASE=db");
  s.extended = u"Port=5433";
  EXPECT_EQ(Built(s), "Port=5433;DSN=Sales;UID=ann;PWD={p;w}}d};DATABASE=db");
}

TEST(OdbcConnectionString, ExtendedPropertiesNamingADriverOrKeysWinOverTheProperties) {
  OdbcConnectionSettings s;
  s.dataSource = u"Sales";
  s.userId = u"ann";
  s.extended = u"Driver={SQLite3};Database={/tmp/a;b.db}; uid = bob";
  EXPECT_EQ(Built(s), "Driver={SQLite3};Database={/tmp/a;b.db}; uid = bob");
  // A braced value that merely contains a keyword does not count.
  s.extended = u"Database={DSN=x}";
  EXPECT_EQ(Built(s), "Database={DSN=x};DSN=Sales;UID=ann");
}

TEST(OdbcStatementCount, SeparatorsInsideQuotesAndCommentsDoNotSplit) {
  EXPECT_EQ(CountSqlStatements(u""), 0u);
  EXPECT_EQ(CountSqlStatements(u" ; ;"), 0u);
  EXPECT_EQ(CountSqlStatements(u"select 1;"), 1u);
  EXPECT_EQ(CountSqlStatements(u"select ';' from \"a;b\" -- x;y\n/* ; */"), 1u);
  EXPECT_EQ(CountSqlStatements(u"update t set a = 'it''s;'; delete from t"), 2u);
  EXPECT_EQ(CountSqlStatements(u"select 1; -- trailing comment"), 1u);
}

}  // namespace

#include "COdbcRowStore.h"

namespace {

TEST(OdbcRowStore, DriverTextIsKeptAsUtf8AndRowsKeepTheirCells) {
  COdbcRowStore store(2);
  store.AddText(u"Caf\u00e9 \U0001F600");
  store.AddInteger(-7);
  const char16_t lone[] = {u'a', char16_t(0xD800), u'b'};
  store.AddText(std::u16string_view(lone, 3));
  store.AddNull();
  ASSERT_EQ(store.Rows(), 2u);
  EXPECT_EQ(store.View(0, 0).Bytes(), "Caf\xC3\xA9 \xF0\x9F\x98\x80");
  EXPECT_EQ(store.View(0, 1).integer, -7);
  EXPECT_EQ(store.View(1, 0).Bytes(), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(store.View(1, 1).kind, NativeKind::Null);
  // A row cut short by a failed fetch is dropped whole.
  store.AddReal(1.5);
  store.Truncate(2);
  EXPECT_EQ(store.Rows(), 2u);
}

TEST(OdbcRowStore, ValuesKeepAcrossBlocksAndAStoreClearedIsReused) {
  // Enough rows to fill several blocks of cells and of bytes, with a value
  // larger than a byte block among them.
  COdbcRowStore store(3);
  const std::string big(3 << 20, 'b');
  constexpr size_t kRows = 150000;
  for (size_t r = 0; r < kRows; ++r) {
    store.AddInteger(static_cast<int64_t>(r));
    if (r == 70000) {
      store.AddBytes(NativeKind::Blob, big.data(), big.size());
    } else {
      store.AddText(u"row " + AnsiToOle(std::to_string(r)));
    }
    store.AddReal(static_cast<double>(r) / 4);
  }
  ASSERT_EQ(store.Rows(), kRows);
  for (size_t r : {size_t{0}, size_t{21845}, size_t{21846}, size_t{69999}, size_t{70001}, kRows - 1}) {
    EXPECT_EQ(store.View(r, 0).integer, static_cast<int64_t>(r));
    EXPECT_EQ(store.View(r, 1).Bytes(), "row " + std::to_string(r));
    EXPECT_EQ(store.View(r, 2).real, static_cast<double>(r) / 4);
  }
  EXPECT_EQ(store.View(70000, 1).kind, NativeKind::Blob);
  EXPECT_EQ(store.View(70000, 1).Bytes(), big);
  store.Truncate(70001);
  EXPECT_EQ(store.Rows(), 70001u);
  EXPECT_EQ(store.View(70000, 1).size, big.size());

  store.Clear();
  EXPECT_EQ(store.Rows(), 0u);
  store.AddNull();
  store.AddText(u"again");
  store.AddInteger(1);
  ASSERT_EQ(store.Rows(), 1u);
  EXPECT_EQ(store.View(0, 0).kind, NativeKind::Null);
  EXPECT_EQ(store.View(0, 1).Bytes(), "again");
}

}  // namespace
