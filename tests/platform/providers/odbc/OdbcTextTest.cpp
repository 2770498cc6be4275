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

}  // namespace
