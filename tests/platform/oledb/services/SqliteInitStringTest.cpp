#include <gtest/gtest.h>

#include <string>

#include "ComPtr.h"
#include "TestDataSource.h"
#include "TestEnvironment.h"
#include "msdasc.h"

namespace {

// The built-in provider through the service: a string makes a data source
// that opens, and the string it reports makes an equal one.
TEST(SqliteInitStringTest, StringOpensTheSampleAndRoundTrips) {
  CComScope com;
  ComPtr<IDataInitialize> init;
  ASSERT_EQ(CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                             init.ReleaseAndGetVoidAddress()),
            S_OK);
  std::u16string path = AnsiToOle(std::string(SamplesDir()) + "/trading.db");
  std::u16string text = u"provider=ravezov.sqlite; data source=\"" + path + u"\"";

  ComPtr<IDBInitialize> dataSource;
  ASSERT_EQ(init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, text.c_str(), IID_IDBInitialize,
                                reinterpret_cast<IUnknown**>(&dataSource)),
            S_OK);
  ASSERT_EQ(dataSource->Initialize(), S_OK);

  LPOLESTR written = nullptr;
  ASSERT_EQ(init->GetInitializationString(dataSource, true, &written), S_OK);
  std::u16string reported = written;
  CoTaskMemFree(written);
  EXPECT_EQ(reported.rfind(u"Provider=Ravezov.SQLite;", 0), 0u) << OleToAnsi(reported);
  EXPECT_NE(reported.find(u"Data Source=" + path), std::u16string::npos) << OleToAnsi(reported);

  ComPtr<IDBInitialize> again;
  ASSERT_EQ(init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, reported.c_str(), IID_IDBInitialize,
                                reinterpret_cast<IUnknown**>(&again)),
            S_OK);
  EXPECT_EQ(PropertyText(again, DBPROP_INIT_DATASOURCE), OleToAnsi(path));
  EXPECT_EQ(again->Initialize(), S_OK);
}

}  // namespace
