// The qualified table name built from a provider's naming literals.
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

TEST(QualifyTableName, CatalogInFrontOrAtTheEndWithItsOwnSeparator) {
  TableNamingRules rules = Bracketed();
  EXPECT_EQ(Qualify(rules, "Sales", "dbo", "Order Lines"), "Sales.dbo.[Order Lines]");
  rules.catalogAtEnd = true;
  rules.catalogSeparator = ":";
  EXPECT_EQ(Qualify(rules, "Sales", "dbo", "Order Lines"), "dbo.[Order Lines]:Sales");
}

TEST(QualifyTableName, UnsupportedOrEmptyPartsLeaveNoTrace) {
  TableNamingRules rules = Bracketed();
  rules.catalogSupported = false;
  EXPECT_EQ(Qualify(rules, "Sales", "dbo", "Orders"), "dbo.Orders");
  rules = Bracketed();
  EXPECT_EQ(Qualify(rules, "Sales", "", "Orders"), "Sales.Orders");
  EXPECT_EQ(Qualify(rules, "", "", "Orders"), "Orders");
  rules.schemaSupported = false;
  EXPECT_EQ(Qualify(rules, "Sales", "dbo", "Orders"), "Sales.Orders");
  rules.catalogAtEnd = true;
  EXPECT_EQ(Qualify(rules, "", "dbo", "Orders"), "Orders");
  // No literals at all (a provider without IDBInfo): the bare name, spaces included.
  EXPECT_EQ(Qualify(TableNamingRules{}, "Sales", "dbo", "Order Lines"), "Order Lines");
  EXPECT_EQ(Qualify(rules, "", "", ""), "");
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

}  // namespace
