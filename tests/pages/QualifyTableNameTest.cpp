// Quoting in the qualified table name; how the parts are joined is shown
// through the page against a provider (CTablesPageTest).
#include <gtest/gtest.h>

#include "QualifyTableName.h"

namespace {

TableNamingRules Bracketed() {
  TableNamingRules rules;
  rules.catalogSupported = true;
  rules.schemaSupported = true;
  rules.catalogSeparator = ".";
  rules.schemaSeparator = ".";
  rules.quotePrefix = "[";
  rules.quoteSuffix = "]";
  return rules;
}

std::string Qualify(const TableNamingRules& rules, const char* catalog, const char* schema, const char* table) {
  return QualifyTableName(rules, catalog, schema, table).str();
}

TEST(QualifyTableName, OnlyATableNameWithASpaceIsQuoted) {
  const TableNamingRules rules = Bracketed();
  EXPECT_EQ(Qualify(rules, "", "", "Orders"), "Orders");
  EXPECT_EQ(Qualify(rules, "", "", "Odd-Name;"), "Odd-Name;");
  EXPECT_EQ(Qualify(rules, "My Catalog", "my schema", "T"), "My Catalog.my schema.T");
  EXPECT_EQ(Qualify(rules, "", "", "Odd]Name"), "Odd]Name");
}

TEST(QualifyTableName, AQuoteSuffixInsideAQuotedNameIsDoubledSoTheNameStaysInsideItsQuotes) {
  TableNamingRules rules = Bracketed();
  EXPECT_EQ(Qualify(rules, "Sales", "", "a] b"), "Sales.[a]] b]");
  EXPECT_EQ(Qualify(rules, "", "", "x]; drop table t; --"), "[x]]; drop table t; --]");
  EXPECT_EQ(Qualify(rules, "", "", "[a b]"), "[[a b]]]");
  rules.quotePrefix = "\"";
  rules.quoteSuffix = "\"";
  EXPECT_EQ(Qualify(rules, "main", "", "Odd\"Name x"), "main.\"Odd\"\"Name x\"");
  EXPECT_EQ(Qualify(rules, "", "", "\"\" \""), "\"\"\"\"\" \"\"\"");
  // Several characters make one suffix; an empty one quotes nothing away.
  rules.quotePrefix = "<<";
  rules.quoteSuffix = ">>";
  EXPECT_EQ(Qualify(rules, "", "", "a>> b>"), "<<a>>>> b>>>");
  rules.quotePrefix.Empty();
  rules.quoteSuffix.Empty();
  EXPECT_EQ(Qualify(rules, "", "", "a b"), "a b");
}

TEST(QualifyTableName, AServerThatFoldsUnquotedNamesGetsQuotesOnNamesItWouldFold) {
  TableNamingRules rules = Bracketed();
  rules.quotePrefix = "\"";
  rules.quoteSuffix = "\"";
  rules.identifierCase = DBPROPVAL_IC_LOWER;
  EXPECT_EQ(Qualify(rules, "", "public", "Orders"), "public.\"Orders\"");
  EXPECT_EQ(Qualify(rules, "", "public", "orders_2"), "public.orders_2");
  EXPECT_EQ(Qualify(rules, "", "Sales", "t"), "\"Sales\".t");
  EXPECT_EQ(Qualify(rules, "Cat", "", "t"), "Cat.t");  // the catalog stands as listed
  rules.identifierCase = DBPROPVAL_IC_UPPER;
  EXPECT_EQ(Qualify(rules, "", "HR", "Orders"), "HR.\"Orders\"");
  EXPECT_EQ(Qualify(rules, "", "", "ORDERS"), "ORDERS");
  for (const LONG keeps : {LONG{0}, LONG{DBPROPVAL_IC_MIXED}, LONG{DBPROPVAL_IC_SENSITIVE}}) {
    rules.identifierCase = keeps;
    EXPECT_EQ(Qualify(rules, "", "Sales", "Orders"), "Sales.Orders") << keeps;
  }
}

}  // namespace
