// A sources row of the ODBC enumerator opens as a data source: its parse
// name parses into a moniker that binds to the ODBC provider's data source
// for that name, ready for the user's credentials and Initialize.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComPtr.h"
#include "OdbcProvider.h"
#include "OdbcTestSupport.h"
#include "ProviderTestSupport.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

ComPtr<IParseDisplayName> Enumerator() {
  ComPtr<IParseDisplayName> parser;
  CoCreateInstance(CLSID_RavezovODBCEnumerator, nullptr, CLSCTX_INPROC_SERVER, IID_IParseDisplayName,
                   reinterpret_cast<void**>(&parser));
  return parser;
}

ComPtr<IMoniker> Parse(IParseDisplayName* parser, const std::string& name, HRESULT& hr, ULONG& eaten) {
  std::u16string text = AnsiToOle(name);
  ComPtr<IBindCtx> context;
  CreateBindCtx(0, &context);
  ComPtr<IMoniker> moniker;
  hr = parser->ParseDisplayName(context.Get(), text.data(), &eaten, &moniker);
  return moniker;
}

std::string DataSourceOf(IDBProperties* properties) {
  DBPROPID id = DBPROP_INIT_DATASOURCE;
  DBPROPIDSET ids{&id, 1, DBPROPSET_DBINIT};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  std::string value = "<none>";
  if (SUCCEEDED(properties->GetProperties(1, &ids, &count, &sets)) && count == 1 &&
      sets[0].rgProperties[0].vValue.vt == VT_BSTR)
    value = OleToAnsi(sets[0].rgProperties[0].vValue.bstrVal);
  for (ULONG i = 0; i < count; ++i) {
    for (ULONG j = 0; j < sets[i].cProperties; ++j) VariantClear(&sets[i].rgProperties[j].vValue);
    CoTaskMemFree(sets[i].rgProperties);
  }
  CoTaskMemFree(sets);
  return value;
}

void SetText(IDBProperties* properties, DBPROPID id, const std::string& text) {
  DBPROP p{};
  p.dwPropertyID = id;
  p.vValue.vt = VT_BSTR;
  p.vValue.bstrVal = SysAllocString(AnsiToOle(text).c_str());
  DBPROPSET set{&p, 1, DBPROPSET_DBINIT};
  EXPECT_EQ(properties->SetProperties(1, &set), S_OK);
  VariantClear(&p.vValue);
}

class OdbcParseName : public testing::Test {
 protected:
  ComApartment apartment;
};

TEST_F(OdbcParseName, EachDataSourceNameBindsToAnOdbcDataSourceThatOpensWithTheUsersCredentials) {
  auto postgres = PostgresTarget();
  auto sqlite = SqliteOdbcTarget();
  SKIP_WITHOUT(postgres && sqlite);
  auto parser = Enumerator();
  ASSERT_TRUE(parser);
  for (const OdbcTarget& target : {*postgres, *sqlite}) {
    HRESULT hr = E_FAIL;
    ULONG eaten = 0;
    auto moniker = Parse(parser.Get(), target.dsn, hr, eaten);
    ASSERT_EQ(hr, S_OK) << target.dsn;
    ASSERT_TRUE(moniker);
    EXPECT_EQ(eaten, target.dsn.size());
    LPOLESTR display = nullptr;
    ASSERT_EQ(moniker->GetDisplayName(nullptr, nullptr, &display), S_OK);
    EXPECT_EQ(OleToAnsi(display), target.dsn);
    CoTaskMemFree(display);

    ComPtr<IDBProperties> properties;
    ASSERT_EQ(BindMoniker(moniker.Get(), 0, IID_IDBProperties, reinterpret_cast<void**>(&properties)), S_OK);
    EXPECT_EQ(DataSourceOf(properties.Get()), target.dsn);
    if (!target.user.empty()) {
      SetText(properties.Get(), DBPROP_AUTH_USERID, target.user);
      SetText(properties.Get(), DBPROP_AUTH_PASSWORD, target.password);
    }
    auto init = properties.As<IDBInitialize>();
    ASSERT_EQ(init->Initialize(), S_OK) << TakeErrorDescriptions().front();
    auto session = CreateSession(init.Get());
    ASSERT_TRUE(session);
    auto rowset = SchemaRowset(session, DBSCHEMA_TABLES, {std::nullopt, std::nullopt, "Orders"});
    ASSERT_TRUE(rowset);
    EXPECT_EQ(ReadAll(rowset).size(), 1u) << target.dsn;

    // Each binding makes a data source of its own.
    ComPtr<IDBInitialize> another;
    ASSERT_EQ(BindMoniker(moniker.Get(), 0, IID_IDBInitialize, reinterpret_cast<void**>(&another)), S_OK);
    EXPECT_NE(another.Get(), init.Get());
  }
}

TEST_F(OdbcParseName, ANameThatIsNoDataSourceNameIsRefusedWithARecord) {
  auto parser = Enumerator();
  ASSERT_TRUE(parser);
  HRESULT hr = S_OK;
  ULONG eaten = 7;
  auto moniker = Parse(parser.Get(), "NoSuchDsnAnywhere", hr, eaten);
  EXPECT_EQ(hr, MK_E_NOOBJECT);
  EXPECT_FALSE(moniker);
  EXPECT_EQ(eaten, 0u);
  const auto records = TakeErrorDescriptions();
  ASSERT_FALSE(records.empty());
  EXPECT_NE(records[0].find("NoSuchDsnAnywhere"), std::string::npos) << records[0];

  ComPtr<IMoniker> out;
  EXPECT_EQ(parser->ParseDisplayName(nullptr, nullptr, &eaten, &out), E_INVALIDARG);
  EXPECT_FALSE(out);
}

TEST_F(OdbcParseName, ADataSourceNameMonikerComposesWithNothingToItsLeft) {
  auto target = SqliteOdbcTarget();
  SKIP_WITHOUT(target);
  HRESULT hr = E_FAIL;
  ULONG eaten = 0;
  auto moniker = Parse(Enumerator().Get(), target->dsn, hr, eaten);
  ASSERT_TRUE(moniker);
  void* out = &out;
  EXPECT_EQ(moniker->BindToObject(nullptr, moniker.Get(), IID_IUnknown, &out), E_INVALIDARG);
  EXPECT_EQ(out, nullptr);
  LPOLESTR name = reinterpret_cast<LPOLESTR>(&out);
  EXPECT_EQ(moniker->GetDisplayName(nullptr, moniker.Get(), &name), E_INVALIDARG);
  EXPECT_EQ(name, nullptr);
}

}  // namespace
