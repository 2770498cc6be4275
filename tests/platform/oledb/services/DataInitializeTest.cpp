#include <gtest/gtest.h>

#include <string>

#include "ComPtr.h"
#include "InitializationString.h"
#include "TestDataSource.h"
#include "msdasc.h"

namespace {

class DataInitializeTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                               m_init.ReleaseAndGetVoidAddress()),
              S_OK);
  }

  HRESULT GetDataSource(const std::u16string& text, ComPtr<IUnknown>& dataSource) {
    return m_init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, text.c_str(), IID_IUnknown, &dataSource);
  }

  std::u16string InitString(IUnknown* dataSource, bool includePassword) {
    LPOLESTR text = nullptr;
    EXPECT_EQ(m_init->GetInitializationString(dataSource, includePassword, &text), S_OK);
    std::u16string result = text ? text : u"";
    CoTaskMemFree(text);
    return result;
  }

  // The call fails with `expected`, returns no data source and leaves one
  // record whose description contains `mentions`.
  void ExpectRejected(const std::u16string& text, HRESULT expected, const std::string& mentions) {
    ComPtr<IUnknown> dataSource;
    EXPECT_EQ(GetDataSource(text, dataSource), expected) << OleToAnsi(text);
    EXPECT_FALSE(dataSource);
    PostedError error = TakePostedError();
    EXPECT_GE(error.records, 1u);
    EXPECT_NE(error.description.find(mentions), std::string::npos) << error.description;
  }

  CComScope m_com;
  CScopedClassRegistration m_provider{TestProviderEntry()};
  CScopedClassRegistration m_providerWithoutClass{TestProviderWithoutClassEntry()};
  ComPtr<IDataInitialize> m_init;
};

TEST_F(DataInitializeTest, InitializationStringRoundTripsAwkwardValues) {
  const std::u16string original =
      u"Provider=Ravezov.TestProvider;Data Source='  lead=ing;semi\"quote''s';User ID=admin;"
      u"Password=\"p;w\"\"d\";Connect Timeout=30;Persist Security Info=True";
  ComPtr<IUnknown> first;
  ASSERT_EQ(GetDataSource(original, first), S_OK);
  EXPECT_EQ(PropertyText(first, DBPROP_INIT_DATASOURCE), "  lead=ing;semi\"quote's");
  EXPECT_EQ(PropertyText(first, DBPROP_AUTH_PASSWORD), "p;w\"d");
  EXPECT_EQ(PropertyText(first, DBPROP_INIT_TIMEOUT), "30");

  std::u16string written = InitString(first, true);
  EXPECT_EQ(written,
            u"Provider=Ravezov.TestProvider;Data Source=\"  lead=ing;semi\"\"quote's\";User ID=admin;"
            u"Password=\"p;w\"\"d\";Connect Timeout=30;Persist Security Info=True");

  ComPtr<IUnknown> second;
  ASSERT_EQ(GetDataSource(written, second), S_OK);
  for (DBPROPID id : {DBPROP_INIT_DATASOURCE, DBPROP_AUTH_USERID, DBPROP_AUTH_PASSWORD, DBPROP_INIT_TIMEOUT,
                      DBPROP_AUTH_PERSIST_SENSITIVE_AUTHINFO, DBPROP_INIT_PROMPT})
    EXPECT_EQ(PropertyText(second, id), PropertyText(first, id)) << id;
  EXPECT_EQ(InitString(second, true), written);
}

TEST_F(DataInitializeTest, PasswordAndWindowHandleAreLeftOutWhenTheyShouldBe) {
  ComPtr<IUnknown> dataSource;
  ASSERT_EQ(GetDataSource(u"Provider=Ravezov.TestProvider;Password=secret;Window Handle=1234;Prompt=4",
                          dataSource),
            S_OK);
  EXPECT_EQ(PropertyText(dataSource, DBPROP_INIT_HWND), "1234");
  EXPECT_EQ(InitString(dataSource, false), u"Provider=Ravezov.TestProvider;Prompt=4");
  EXPECT_EQ(InitString(dataSource, true), u"Provider=Ravezov.TestProvider;Password=secret;Prompt=4");
}

TEST_F(DataInitializeTest, ProviderByClassIdAndKeywordsWithoutCase) {
  OLECHAR clsid[40];
  StringFromGUID2(CLSID_TestProvider, clsid, 40);
  ComPtr<IUnknown> dataSource;
  ASSERT_EQ(GetDataSource(u"  provider = " + std::u16string(clsid) + u" ; DATA source =  db.file  ;;"
                              u" persist SECURITY info = -1",
                          dataSource),
            S_OK);
  EXPECT_EQ(PropertyText(dataSource, DBPROP_INIT_DATASOURCE), "db.file");
  EXPECT_EQ(PropertyText(dataSource, DBPROP_AUTH_PERSIST_SENSITIVE_AUTHINFO), "-1");

  ComPtr<IUnknown> byLowerName;
  EXPECT_EQ(GetDataSource(u"PROVIDER=ravezov.testprovider", byLowerName), S_OK);
  EXPECT_EQ(InitString(byLowerName, true), u"Provider=Ravezov.TestProvider");
}

TEST_F(DataInitializeTest, BadInputFailsWithARecordThatNamesTheCulprit) {
  ExpectRejected(u"Provider=Nobody.Here;Data Source=x", REGDB_E_CLASSNOTREG, "Nobody.Here");
  ExpectRejected(u"Provider={00000000-0000-0000-0000-00000000BEEF}", REGDB_E_CLASSNOTREG, "BEEF");
  ExpectRejected(u"Provider=Ravezov.TestProvider;Colour=blue", DB_E_ERRORSOCCURRED, "'Colour'");
  ExpectRejected(u"Provider=Ravezov.TestProvider;Connect Timeout=soon", DB_E_ERRORSOCCURRED, "'soon'");
  ExpectRejected(u"Provider=Ravezov.TestProvider;Prompt=99999", DB_E_ERRORSOCCURRED, "'Prompt'");
  ExpectRejected(u"Provider=Ravezov.TestProvider;Persist Security Info=maybe", DB_E_ERRORSOCCURRED,
                 "'Persist Security Info'");
  ExpectRejected(u"Provider=Ravezov.TestProvider;Data Source=\"open;User ID=x", DB_E_BADINITSTRING,
                 "'Data Source'");
  ExpectRejected(u"Provider=Ravezov.TestProvider;Data Source", DB_E_BADINITSTRING, "'Data Source'");
  ExpectRejected(u"Data Source=x", DB_E_BADINITSTRING, "no provider");
  ExpectRejected(u"", DB_E_BADINITSTRING, "no provider");
}

TEST_F(DataInitializeTest, ExistingDataSourceTakesTheProperties) {
  ComPtr<IUnknown> dataSource;
  ASSERT_EQ(GetDataSource(u"Provider=Ravezov.TestProvider", dataSource), S_OK);
  IUnknown* same = dataSource.Get();
  EXPECT_EQ(m_init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, u"User ID=sa", IID_IUnknown, &same), S_OK);
  EXPECT_EQ(same, dataSource.Get());
  EXPECT_EQ(PropertyText(dataSource, DBPROP_AUTH_USERID), "sa");
}

TEST_F(DataInitializeTest, DataSourceThatHidesItsClassHasNoString) {
  ComPtr<IUnknown> dataSource;
  ASSERT_EQ(GetDataSource(u"Provider=Ravezov.TestProviderWithoutClass;User ID=sa", dataSource), S_OK);
  LPOLESTR text = reinterpret_cast<LPOLESTR>(1);
  EXPECT_TRUE(FAILED(m_init->GetInitializationString(dataSource, true, &text)));
  EXPECT_EQ(text, nullptr);
  EXPECT_NE(TakePostedError().description.find("IPersist"), std::string::npos);
}

TEST_F(DataInitializeTest, ArgumentsAndDirectCreation) {
  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(m_init.As(&support), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDataInitialize), S_OK);

  EXPECT_EQ(m_init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, u"Provider=Ravezov.TestProvider",
                                  IID_IUnknown, nullptr),
            E_INVALIDARG);
  ComPtr<IUnknown> outer;
  ComPtr<IUnknown> dataSource;
  ASSERT_EQ(GetDataSource(u"Provider=Ravezov.TestProvider", outer), S_OK);
  EXPECT_EQ(m_init->GetDataSource(outer, CLSCTX_INPROC_SERVER, u"Provider=Ravezov.TestProvider",
                                  IID_IUnknown, &dataSource),
            DB_E_NOAGGREGATION);
  EXPECT_EQ(m_init->GetInitializationString(nullptr, true, nullptr), E_INVALIDARG);
  EXPECT_EQ(TakePostedError().records, 1u);

  ComPtr<IDBProperties> created;
  EXPECT_EQ(m_init->CreateDBInstance(CLSID_TestProvider, nullptr, CLSCTX_INPROC_SERVER, nullptr,
                                     IID_IDBProperties, reinterpret_cast<IUnknown**>(&created)),
            S_OK);
  EXPECT_TRUE(created);
}

TEST(InitializationStringTest, ParsesEntriesAndReportsMalformedText) {
  std::string error;
  auto pairs = ParseInitializationString(u" a = 1 ;; b='x;y' ; c=\"\" ; d= ;", error);
  ASSERT_TRUE(pairs);
  ASSERT_EQ(pairs->size(), 4u);
  EXPECT_EQ((*pairs)[1].value, u"x;y");
  EXPECT_EQ((*pairs)[2].value, u"");
  EXPECT_EQ((*pairs)[3].value, u"");

  EXPECT_FALSE(ParseInitializationString(u"a='x' y", error));
  EXPECT_NE(error.find("'a'"), std::string::npos);
  EXPECT_FALSE(ParseInitializationString(u"=1", error));
  EXPECT_FALSE(ParseInitializationString(u"a=1;b", error));
  EXPECT_TRUE(ParseInitializationString(u"a=it\"s", error));  // a quote inside an unquoted value is text
}

}  // namespace
