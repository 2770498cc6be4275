// What the data source reports about itself: the keywords of initialization
// strings, its information properties and its literals.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

#include "ProviderTestSupport.h"
#include "SqliteProvider.h"
#include "SqliteTestSupport.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

class SqliteDataSource : public testing::Test {
 protected:
  ComApartment m_apartment;
};

std::map<std::string, DBPROPINFO> InitPropertyInfo(IDBInitialize* init) {
  std::map<std::string, DBPROPINFO> byDescription;
  DBPROPIDSET set{nullptr, 0, DBPROPSET_DBINIT};
  ULONG count = 0;
  DBPROPINFOSET* sets = nullptr;
  OLECHAR* buffer = nullptr;
  if (FAILED(ComPtr<IDBInitialize>(init).As<IDBProperties>()->GetPropertyInfo(1, &set, &count, &sets, &buffer)))
    return byDescription;
  for (ULONG p = 0; p < sets[0].cPropertyInfos; ++p) {
    DBPROPINFO info = sets[0].rgPropertyInfos[p];
    std::string description = OleToAnsi(info.pwszDescription);
    info.pwszDescription = nullptr;
    VariantClear(&sets[0].rgPropertyInfos[p].vValues);
    info.vValues.vt = VT_EMPTY;
    byDescription[description] = info;
  }
  CoTaskMemFree(sets[0].rgPropertyInfos);
  CoTaskMemFree(sets);
  CoTaskMemFree(buffer);
  return byDescription;
}

std::string InfoText(IDBInitialize* init, DBPROPID id) {
  DBPROPIDSET set{&id, 1, DBPROPSET_DATASOURCEINFO};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  if (FAILED(ComPtr<IDBInitialize>(init).As<IDBProperties>()->GetProperties(1, &set, &count, &sets)))
    return "<failed>";
  VARIANT text;
  VariantInit(&text);
  std::string out = SUCCEEDED(VariantChangeType(&text, &sets[0].rgProperties[0].vValue, 0, VT_BSTR))
                        ? OleToAnsi(text.bstrVal)
                        : "<no value>";
  VariantClear(&text);
  VariantClear(&sets[0].rgProperties[0].vValue);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
  return out;
}

}  // namespace

TEST_F(SqliteDataSource, InitializationPropertiesAreDescribedByTheirKeywords) {
  auto init = CreateDataSource(CLSID_RavezovSQLite, TradingDb());
  auto info = InitPropertyInfo(init);
  const std::map<std::string, std::pair<DBPROPID, VARTYPE>> expected = {
      {"Data Source", {DBPROP_INIT_DATASOURCE, VT_BSTR}},
      {"Mode", {DBPROP_INIT_MODE, VT_I4}},
      {"Connect Timeout", {DBPROP_INIT_TIMEOUT, VT_I4}},
      {"Prompt", {DBPROP_INIT_PROMPT, VT_I2}},
      {"Window Handle", {DBPROP_INIT_HWND, VT_I8}},
      {"Extended Properties", {DBPROP_INIT_PROVIDERSTRING, VT_BSTR}},
      {"Password", {DBPROP_AUTH_PASSWORD, VT_BSTR}}};
  for (const auto& [keyword, idAndType] : expected) {
    auto it = info.find(keyword);
    ASSERT_NE(it, info.end()) << keyword;
    EXPECT_EQ(it->second.dwPropertyID, idAndType.first) << keyword;
    EXPECT_EQ(it->second.vtType, idAndType.second) << keyword;
    EXPECT_TRUE(it->second.dwFlags & DBPROPFLAGS_WRITE) << keyword;
  }
}

TEST_F(SqliteDataSource, InformationDescribesTheOpenFile) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  ASSERT_TRUE(init);
  EXPECT_EQ(InfoText(init, DBPROP_PROVIDERFRIENDLYNAME), "Ravezov OLE DB Provider for SQLite");
  EXPECT_EQ(InfoText(init, DBPROP_DBMSNAME), "SQLite");
  EXPECT_EQ(InfoText(init, DBPROP_DBMSVER), sqlite3_libversion());
  EXPECT_EQ(InfoText(init, DBPROP_PROVIDERVER), "01.00.0000");
  EXPECT_EQ(InfoText(init, DBPROP_DATASOURCENAME), TradingDb());
  EXPECT_EQ(InfoText(init, DBPROP_CATALOGTERM), "database");
  EXPECT_EQ(InfoText(init, DBPROP_CATALOGLOCATION), std::to_string(DBPROPVAL_CL_START));
  EXPECT_EQ(InfoText(init, DBPROP_DATASOURCEREADONLY), "0");
  auto readOnly = OpenDataSource(CLSID_RavezovSQLite, TradingDb(), DB_MODE_READ);
  EXPECT_EQ(InfoText(readOnly, DBPROP_DATASOURCEREADONLY), "-1");
}

TEST_F(SqliteDataSource, AllLiteralsAtOnceAreSupportedOnes) {
  auto init = OpenDataSource(CLSID_RavezovSQLite, TradingDb());
  ULONG count = 0;
  DBLITERALINFO* literals = nullptr;
  OLECHAR* buffer = nullptr;
  ASSERT_EQ(init.As<IDBInfo>()->GetLiteralInfo(0, nullptr, &count, &literals, &buffer), S_OK);
  EXPECT_GT(count, 5u);
  for (ULONG i = 0; i < count; ++i) EXPECT_TRUE(literals[i].fSupported);
  CoTaskMemFree(literals);
  CoTaskMemFree(buffer);
  DBLITERAL onlySchema[] = {DBLITERAL_SCHEMA_NAME, DBLITERAL_SCHEMA_SEPARATOR};
  ASSERT_EQ(init.As<IDBInfo>()->GetLiteralInfo(2, onlySchema, &count, &literals, &buffer),
            DB_E_ERRORSOCCURRED);
  EXPECT_FALSE(literals[0].fSupported);
  CoTaskMemFree(literals);
  CoTaskMemFree(buffer);
  // Before initialization there is nothing to ask.
  auto fresh = CreateDataSource(CLSID_RavezovSQLite, TradingDb());
  EXPECT_EQ(fresh.As<IDBInfo>()->GetLiteralInfo(0, nullptr, &count, &literals, &buffer), E_UNEXPECTED);
}

// The busy timeout is milliseconds in an int: a huge "Connect Timeout"
// waits the longest that holds instead of overflowing.
TEST_F(SqliteDataSource, HugeConnectTimeoutIsClampedToTheLongestBusyTimeout) {
  for (auto [seconds, expected] : {std::pair<LONG, std::string>{10000000, "2147483000"},
                                   {2147483647, "2147483000"},
                                   {-5, "0"},
                                   {7, "7000"}}) {
    auto init = CreateDataSource(CLSID_RavezovSQLite, ":memory:");
    ASSERT_TRUE(init);
    DBPROP timeout{};
    timeout.dwPropertyID = DBPROP_INIT_TIMEOUT;
    timeout.vValue.vt = VT_I4;
    timeout.vValue.lVal = seconds;
    DBPROPSET set{&timeout, 1, DBPROPSET_DBINIT};
    ASSERT_EQ(init.As<IDBProperties>()->SetProperties(1, &set), S_OK);
    ASSERT_EQ(init->Initialize(), S_OK);
    auto result = Execute(CreateSession(init), "PRAGMA busy_timeout");
    ASSERT_EQ(result.hr, S_OK) << seconds;
    auto rows = ReadAll(result.rowset);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], expected) << seconds;
  }
}
