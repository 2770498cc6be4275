#include <gtest/gtest.h>

#include <string>

#include "ComPtr.h"
#include "TestDataSource.h"
#include "TestEnvironment.h"
#include "msdaguid.h"
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

TEST(SqliteInitStringTest, RootEnumeratorListsTheProvider) {
  CComScope com;
  ComPtr<ISourcesRowset> enumerator;
  ASSERT_EQ(CoCreateInstance(CLSID_OLEDB_ENUMERATOR, nullptr, CLSCTX_INPROC_SERVER, IID_ISourcesRowset,
                             enumerator.ReleaseAndGetVoidAddress()),
            S_OK);
  ComPtr<IRowset> rowset;
  ASSERT_EQ(enumerator->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr,
                                         reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  ComPtr<IAccessor> accessor;
  ASSERT_EQ(rowset.As(&accessor), S_OK);
  DBBINDING binding{};
  binding.iOrdinal = 1;
  binding.dwPart = DBPART_VALUE;
  binding.wType = DBTYPE_WSTR;
  binding.cbMaxLen = 128 * sizeof(OLECHAR);
  HACCESSOR hAccessor = DB_NULL_HACCESSOR;
  ASSERT_EQ(accessor->CreateAccessor(DBACCESSOR_ROWDATA, 1, &binding, binding.cbMaxLen, &hAccessor, nullptr),
            S_OK);
  bool found = false;
  DBCOUNTITEM obtained = 0;
  HROW* handles = nullptr;
  while (rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 1, &obtained, &handles) == S_OK && obtained == 1) {
    OLECHAR name[128] = {};
    EXPECT_EQ(rowset->GetData(handles[0], hAccessor, name), S_OK);
    found = found || std::u16string(name) == u"Ravezov.SQLite";
    rowset->ReleaseRows(1, handles, nullptr, nullptr, nullptr);
  }
  CoTaskMemFree(handles);
  accessor->ReleaseAccessor(hAccessor, nullptr);
  EXPECT_TRUE(found);
}

}  // namespace
