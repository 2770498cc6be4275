// What providers share for schema rowsets and literals: rows filled by
// column name, restrictions checked against what a provider supports, and
// literal information in one character buffer.
#include <gtest/gtest.h>

#include "ErrorRecords.h"
#include "LiteralInfo.h"
#include "SchemaLayouts.h"
#include "SchemaRestrictions.h"
#include "SchemaRows.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr CLSID kProvider = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};

VARIANT Text(const char16_t* s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(s);
  return v;
}

TEST(SchemaRows, CellsAreSetByNameAndTheRestStayNull) {
  const SchemaLayout* tables = FindSchemaLayout(DBSCHEMA_TABLES);
  ASSERT_TRUE(tables);
  EXPECT_EQ(tables->columns[2].name, u"TABLE_NAME");
  EXPECT_EQ(tables->restrictions.size(), 4u);
  SchemaRows rows(*tables);
  rows.Add().Text(u"TABLE_NAME", "Trades").Text(u"TABLE_TYPE", "TABLE").Text(u"NO_SUCH_COLUMN", "ignored");
  ASSERT_EQ(rows.Rows().size(), 1u);
  const MemoryRow& row = rows.Rows()[0];
  ASSERT_EQ(row.size(), tables->columns.size());
  EXPECT_EQ(row[2].Bytes(), "Trades");
  EXPECT_EQ(row[3].Bytes(), "TABLE");
  EXPECT_TRUE(row[0].IsNull());
  EXPECT_TRUE(row[8].IsNull());
}

TEST(SchemaLayouts, EveryStandardSchemaIsListedWithItsSupport) {
  for (const auto& layout : StandardSchemaLayouts()) {
    EXPECT_FALSE(layout.columns.empty());
    EXPECT_FALSE(layout.restrictions.empty());
  }
  EXPECT_FALSE(FindSchemaLayout(GUID_NULL));
  ULONG count = 0;
  GUID* guids = nullptr;
  ULONG* support = nullptr;
  ASSERT_EQ(ListSchemas({{&DBSCHEMA_TABLES, 0x5}, {&DBSCHEMA_COLUMNS, 0x1}}, &count, &guids, &support), S_OK);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(guids[0], DBSCHEMA_TABLES);
  EXPECT_EQ(support[0], 0x5u);
  CoTaskMemFree(guids);
  CoTaskMemFree(support);
}

TEST(SchemaRestrictions, SupportedValuesAreReadAndOthersRefusedWithARecord) {
  const SchemaLayout& tables = *FindSchemaLayout(DBSCHEMA_TABLES);
  VARIANT values[4];
  for (auto& v : values) VariantInit(&v);
  values[2] = Text(u"Trades");
  SchemaRestrictions read;
  ASSERT_EQ(read.Read(tables, 0x4, 0, 4, values, kProvider, u"Test"), S_OK);
  EXPECT_EQ(read.Text(2), std::optional<std::string>("Trades"));
  EXPECT_TRUE(read.Matches(2, "Trades"));
  EXPECT_FALSE(read.Matches(2, "trades"));
  EXPECT_TRUE(read.Matches(3, "anything"));

  values[3] = Text(u"TABLE");
  SchemaRestrictions unsupported;
  EXPECT_EQ(unsupported.Read(tables, 0x4, 0, 4, values, kProvider, u"Test"), DB_E_NOTSUPPORTED);
  VARIANT five[5];
  for (auto& v : five) VariantInit(&v);
  SchemaRestrictions tooMany;
  EXPECT_EQ(tooMany.Read(tables, 0xF, 0, 5, five, kProvider, u"Test"), E_INVALIDARG);
  for (auto& v : values) VariantClear(&v);
}

TEST(SchemaRestrictions, NumbersArriveAsNumbersOrTypedText) {
  const SchemaLayout& types = *FindSchemaLayout(DBSCHEMA_PROVIDER_TYPES);
  VARIANT values[2];
  values[0] = Text(u"130");
  VariantInit(&values[1]);
  values[1].vt = VT_BOOL;
  values[1].boolVal = VARIANT_TRUE;
  SchemaRestrictions read;
  ASSERT_EQ(read.Read(types, 0x3, 0x3, 2, values, kProvider, u"Test"), S_OK);
  EXPECT_TRUE(read.MatchesNumber(0, 130));
  EXPECT_EQ(read.Number(1), std::optional<int64_t>(1));
  VariantClear(&values[0]);
  values[0] = Text(u"wide");
  SchemaRestrictions bad;
  EXPECT_EQ(bad.Read(types, 0x3, 0x3, 1, values, kProvider, u"Test"), E_INVALIDARG);
  VariantClear(&values[0]);
}

TEST(LiteralInfo, ValuesShareOneBufferAndUnknownLiteralsAreMarked) {
  std::vector<LiteralEntry> supported = {{DBLITERAL_QUOTE_PREFIX, u"\"", {}, {}, 1},
                                         {DBLITERAL_TABLE_NAME, {}, u"\"", {}, 63}};
  DBLITERAL asked[] = {DBLITERAL_QUOTE_PREFIX, DBLITERAL_SCHEMA_NAME, DBLITERAL_TABLE_NAME};
  ULONG count = 0;
  DBLITERALINFO* infos = nullptr;
  OLECHAR* buffer = nullptr;
  ASSERT_EQ(FillLiteralInfo(supported, 3, asked, &count, &infos, &buffer), DB_S_ERRORSOCCURRED);
  ASSERT_EQ(count, 3u);
  EXPECT_TRUE(infos[0].fSupported);
  EXPECT_EQ(OleToAnsi(infos[0].pwszLiteralValue), "\"");
  EXPECT_GE(infos[0].pwszLiteralValue, buffer);
  EXPECT_FALSE(infos[1].fSupported);
  EXPECT_EQ(infos[2].cchMaxLen, 63u);
  EXPECT_EQ(OleToAnsi(infos[2].pwszInvalidChars), "\"");
  CoTaskMemFree(infos);
  CoTaskMemFree(buffer);

  DBLITERAL none[] = {DBLITERAL_SCHEMA_NAME};
  EXPECT_EQ(FillLiteralInfo(supported, 1, none, &count, &infos, &buffer), DB_E_ERRORSOCCURRED);
  CoTaskMemFree(infos);
  CoTaskMemFree(buffer);
}

}  // namespace
