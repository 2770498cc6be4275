// The ODBC provider's initialization properties through the data
// initialization service: a password and values holding ";" and quotes
// survive the round trip, and the password is left out unless asked for.
#include <gtest/gtest.h>

#include "ComPtr.h"
#include "ProviderTestSupport.h"
#include "msdasc.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

std::u16string Written(IDataInitialize* init, IUnknown* dataSource, bool withPassword) {
  LPOLESTR text = nullptr;
  if (FAILED(init->GetInitializationString(dataSource, withPassword, &text))) return u"<failed>";
  std::u16string out = text;
  CoTaskMemFree(text);
  return out;
}

std::string Property(IUnknown* dataSource, DBPROPID id) {
  DBPROPIDSET set{&id, 1, DBPROPSET_DBINIT};
  ULONG count = 0;
  DBPROPSET* sets = nullptr;
  ComPtr<IDBProperties> properties;
  dataSource->QueryInterface(IID_IDBProperties, properties.ReleaseAndGetVoidAddress());
  if (!properties || FAILED(properties->GetProperties(1, &set, &count, &sets))) return "<failed>";
  std::string value = sets[0].rgProperties[0].vValue.vt == VT_BSTR ? OleToAnsi(sets[0].rgProperties[0].vValue.bstrVal) : "";
  VariantClear(&sets[0].rgProperties[0].vValue);
  CoTaskMemFree(sets[0].rgProperties);
  CoTaskMemFree(sets);
  return value;
}

TEST(OdbcInitString, PasswordAndAwkwardValuesRoundTripAndThePasswordStaysOutUnlessAsked) {
  ComApartment apartment;
  ComPtr<IDataInitialize> init;
  ASSERT_EQ(CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                             init.ReleaseAndGetVoidAddress()),
            S_OK);
  const std::u16string text =
      u"Provider=Ravezov.ODBC;Data Source=Sales;User ID=ann;Password=\"p;w'd\";"
      u"Extended Properties=\"Port=5433;Options={a;b}\";Initial Catalog=db";
  ComPtr<IUnknown> first;
  ASSERT_EQ(init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, text.c_str(), IID_IUnknown, &first), S_OK);
  EXPECT_EQ(Property(first, DBPROP_AUTH_PASSWORD), "p;w'd");
  EXPECT_EQ(Property(first, DBPROP_INIT_PROVIDERSTRING), "Port=5433;Options={a;b}");

  const std::u16string withPassword = Written(init, first, true);
  EXPECT_EQ(Written(init, first, false).find(u"p;w'd"), std::u16string::npos);
  ComPtr<IUnknown> again;
  ASSERT_EQ(init->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, withPassword.c_str(), IID_IUnknown, &again), S_OK)
      << OleToAnsi(withPassword);
  for (DBPROPID id : {DBPROP_INIT_DATASOURCE, DBPROP_AUTH_USERID, DBPROP_AUTH_PASSWORD, DBPROP_INIT_PROVIDERSTRING,
                      DBPROP_INIT_CATALOG})
    EXPECT_EQ(Property(again, id), Property(first, id)) << "property " << id;
}

}  // namespace
