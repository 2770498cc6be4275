#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "TestDataSource.h"
#include "msdaguid.h"
#include "msdasc.h"

namespace {

struct SourceRow {
  std::u16string name, parseName, description;
  USHORT type = 0;
  VARIANT_BOOL isParent = VARIANT_TRUE;
};

// Client row buffer: three text columns, the type and the parent flag.
struct RowBuffer {
  OLECHAR text[3][128];
  USHORT type;
  VARIANT_BOOL isParent;
  DBSTATUS status[5];
};

std::vector<DBBINDING> RowBindings() {
  std::vector<DBBINDING> bindings(5);
  for (size_t i = 0; i < 5; ++i) {
    DBBINDING& b = bindings[i];
    b = {};
    b.iOrdinal = static_cast<DBORDINAL>(i + 1);
    b.dwPart = DBPART_VALUE | DBPART_STATUS;
    b.dwMemOwner = DBMEMOWNER_CLIENTOWNED;
    b.eParamIO = DBPARAMIO_NOTPARAM;
    b.obStatus = static_cast<DBBYTEOFFSET>(offsetof(RowBuffer, status) + i * sizeof(DBSTATUS));
  }
  for (size_t i = 0; i < 3; ++i) {
    bindings[i].wType = DBTYPE_WSTR;
    bindings[i].obValue = static_cast<DBBYTEOFFSET>(offsetof(RowBuffer, text) + i * sizeof(OLECHAR) * 128);
    bindings[i].cbMaxLen = sizeof(OLECHAR) * 128;
  }
  bindings[3].wType = DBTYPE_UI2;
  bindings[3].obValue = offsetof(RowBuffer, type);
  bindings[4].wType = DBTYPE_BOOL;
  bindings[4].obValue = offsetof(RowBuffer, isParent);
  return bindings;
}

std::vector<SourceRow> ReadSources(IRowset* rowset) {
  std::vector<SourceRow> rows;
  ComPtr<IAccessor> accessor;
  EXPECT_EQ(rowset->QueryInterface(IID_IAccessor, accessor.ReleaseAndGetVoidAddress()), S_OK);
  std::vector<DBBINDING> bindings = RowBindings();
  HACCESSOR hAccessor = DB_NULL_HACCESSOR;
  EXPECT_EQ(accessor->CreateAccessor(DBACCESSOR_ROWDATA, bindings.size(), bindings.data(), sizeof(RowBuffer),
                                     &hAccessor, nullptr),
            S_OK);
  for (;;) {
    DBCOUNTITEM obtained = 0;
    HROW* handles = nullptr;
    HRESULT hr = rowset->GetNextRows(DB_NULL_HCHAPTER, 0, 10, &obtained, &handles);
    EXPECT_TRUE(SUCCEEDED(hr));
    for (DBCOUNTITEM i = 0; i < obtained; ++i) {
      RowBuffer buffer{};
      EXPECT_EQ(rowset->GetData(handles[i], hAccessor, &buffer), S_OK);
      rows.push_back({buffer.text[0], buffer.text[1], buffer.text[2], buffer.type, buffer.isParent});
    }
    if (obtained) rowset->ReleaseRows(obtained, handles, nullptr, nullptr, nullptr);
    CoTaskMemFree(handles);
    if (obtained == 0 || FAILED(hr)) break;
  }
  accessor->ReleaseAccessor(hAccessor, nullptr);
  return rows;
}

class RootEnumeratorTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CoCreateInstance(CLSID_OLEDB_ENUMERATOR, nullptr, CLSCTX_INPROC_SERVER, IID_ISourcesRowset,
                               m_enumerator.ReleaseAndGetVoidAddress()),
              S_OK);
  }

  CComScope m_com;
  CScopedClassRegistration m_provider{TestProviderEntry()};
  CScopedClassRegistration m_enumeratorClass{TestEnumeratorEntry()};
  ComPtr<ISourcesRowset> m_enumerator;
};

TEST_F(RootEnumeratorTest, ColumnsAreTheStandardSourcesColumns) {
  ComPtr<IColumnsInfo> info;
  ASSERT_EQ(m_enumerator->GetSourcesRowset(nullptr, IID_IColumnsInfo, 0, nullptr,
                                           reinterpret_cast<IUnknown**>(&info)),
            S_OK);
  DBORDINAL count = 0;
  DBCOLUMNINFO* columns = nullptr;
  OLECHAR* names = nullptr;
  ASSERT_EQ(info->GetColumnInfo(&count, &columns, &names), S_OK);
  const std::u16string expectedNames[] = {u"SOURCES_NAME", u"SOURCES_PARSENAME", u"SOURCES_DESCRIPTION",
                                          u"SOURCES_TYPE", u"SOURCES_ISPARENT"};
  const DBTYPE expectedTypes[] = {DBTYPE_WSTR, DBTYPE_WSTR, DBTYPE_WSTR, DBTYPE_UI2, DBTYPE_BOOL};
  ASSERT_EQ(count, 5u);
  for (DBORDINAL i = 0; i < count; ++i) {
    EXPECT_EQ(columns[i].iOrdinal, i + 1);
    EXPECT_EQ(std::u16string(columns[i].pwszName), expectedNames[i]);
    EXPECT_EQ(columns[i].wType, expectedTypes[i]);
  }
  CoTaskMemFree(columns);
  CoTaskMemFree(names);
}

TEST_F(RootEnumeratorTest, RowsListProvidersAndEnumeratorsThatCanBeCreated) {
  ComPtr<IRowset> rowset;
  ASSERT_EQ(m_enumerator->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr,
                                           reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  std::vector<SourceRow> rows = ReadSources(rowset);

  const SourceRow* provider = nullptr;
  const SourceRow* enumerator = nullptr;
  for (const auto& row : rows) {
    EXPECT_TRUE(row.type == DBSOURCETYPE_DATASOURCE_TDP || row.type == DBSOURCETYPE_ENUMERATOR);
    EXPECT_EQ(row.isParent, VARIANT_FALSE);
    EXPECT_NE(row.name, u"Ravezov.DataInitialize");  // services are not sources
    if (row.name == u"Ravezov.TestProvider") provider = &row;
    if (row.name == u"Ravezov.TestEnumerator") enumerator = &row;
  }
  ASSERT_TRUE(provider);
  ASSERT_TRUE(enumerator);
  EXPECT_EQ(provider->type, DBSOURCETYPE_DATASOURCE_TDP);
  EXPECT_EQ(provider->description, u"Test provider");
  EXPECT_EQ(enumerator->type, DBSOURCETYPE_ENUMERATOR);

  // The parse name leads back to the class, as a client connecting from the
  // list uses it.
  CLSID clsid;
  ASSERT_EQ(CLSIDFromString(provider->parseName.c_str(), &clsid), S_OK);
  EXPECT_EQ(clsid, CLSID_TestProvider);
  ComPtr<IDBProperties> created;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                             created.ReleaseAndGetVoidAddress()),
            S_OK);
}

TEST_F(RootEnumeratorTest, RowsetPropertiesAreRefusedAndBadArgumentsRecorded) {
  DBPROP prop{};
  prop.dwPropertyID = DBPROP_INIT_TIMEOUT;
  prop.dwOptions = DBPROPOPTIONS_REQUIRED;
  prop.colid = DB_NULLID;
  prop.vValue.vt = VT_BOOL;
  prop.vValue.boolVal = VARIANT_TRUE;
  DBPROPSET set = {&prop, 1, DBPROPSET_ROWSET};
  ComPtr<IUnknown> rowset;
  EXPECT_EQ(m_enumerator->GetSourcesRowset(nullptr, IID_IRowset, 1, &set, &rowset), DB_E_ERRORSOCCURRED);
  EXPECT_EQ(prop.dwStatus, DBPROPSTATUS_NOTSUPPORTED);
  EXPECT_FALSE(rowset);
  EXPECT_EQ(TakePostedError().records, 1u);

  prop.dwOptions = DBPROPOPTIONS_OPTIONAL;
  EXPECT_EQ(m_enumerator->GetSourcesRowset(nullptr, IID_IRowset, 1, &set, &rowset), DB_S_ERRORSOCCURRED);
  EXPECT_TRUE(rowset);

  EXPECT_EQ(m_enumerator->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr, nullptr), E_INVALIDARG);
  EXPECT_EQ(m_enumerator->GetSourcesRowset(nullptr, IID_IRowset, 1, nullptr, &rowset), E_INVALIDARG);
  EXPECT_EQ(TakePostedError().records, 1u);

  ComPtr<ISupportErrorInfo> support;
  ASSERT_EQ(m_enumerator.As(&support), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ISourcesRowset), S_OK);
}

}  // namespace
