// The rowset base every rowset shares, seen through the in-memory rowset:
// each failing method leaves exactly one record naming the provider and the
// method's interface, a success leaves none, and the columns rowset and
// conversion answers hold.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "KitTestSupport.h"
#include "MemoryRowset.h"
#include "objbase.h"
#include "oleauto.h"

namespace {

constexpr CLSID kProvider = {0x12121212, 0x3434, 0x5656, {7, 8, 9, 10, 11, 12, 13, 14}};

ComPtr<IRowset> MakeRowset() {
  ColumnDesc id;
  id.name = u"id";
  id.type = DBTYPE_I8;
  ColumnDesc name;
  name.name = u"name";
  std::vector<MemoryRow> rows = {{NativeValue::Integer(1), NativeValue::Text("one")}};
  ComPtr<IRowset> rowset;
  EXPECT_EQ(CreateMemoryRowset({id, name}, std::move(rows), nullptr, kProvider, u"Tiny.Provider", IID_IRowset,
                               reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  return rowset;
}

struct TakenRecord {
  ERRORINFO basic{};
  std::u16string source;
};

// Takes the thread's error object and gives its records.
std::vector<TakenRecord> TakeRecords() {
  std::vector<TakenRecord> out;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) != S_OK || !info) return out;
  auto records = info.As<IErrorRecords>();
  ULONG count = 0;
  if (!records || FAILED(records->GetRecordCount(&count))) return out;
  for (ULONG i = 0; i < count; ++i) {
    TakenRecord taken;
    records->GetBasicErrorInfo(i, &taken.basic);
    ComPtr<IErrorInfo> record;
    BSTR source = nullptr;
    if (SUCCEEDED(records->GetErrorInfo(i, 0, &record))) record->GetSource(&source);
    taken.source = source ? source : u"";
    SysFreeString(source);
    out.push_back(taken);
  }
  return out;
}

struct FailingCall {
  const char* what;
  const IID* iid;
  HRESULT expected;
  std::function<HRESULT(IRowset*)> call;
};

template <class Itf>
ComPtr<Itf> As(IRowset* rowset) {
  return ComPtr<IRowset>(rowset).As<Itf>();
}

std::vector<FailingCall> FailingCalls() {
  return {
      {"CreateAccessor with an ordinal past the columns", &IID_IAccessor, DB_E_ERRORSOCCURRED,
       [](IRowset* r) {
         DBBINDING b = TextSlotBinding(9);
         HACCESSOR h = 0;
         DBBINDSTATUS status;
         return As<IAccessor>(r)->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 0, &h, &status);
       }},
      {"AddRefAccessor of an unknown handle", &IID_IAccessor, DB_E_BADACCESSORHANDLE,
       [](IRowset* r) { return As<IAccessor>(r)->AddRefAccessor(777, nullptr); }},
      {"GetBindings of an unknown handle", &IID_IAccessor, DB_E_BADACCESSORHANDLE,
       [](IRowset* r) {
         DBACCESSORFLAGS flags;
         DBCOUNTITEM count;
         DBBINDING* bindings = nullptr;
         return As<IAccessor>(r)->GetBindings(777, &flags, &count, &bindings);
       }},
      {"ReleaseAccessor of an unknown handle", &IID_IAccessor, DB_E_BADACCESSORHANDLE,
       [](IRowset* r) { return As<IAccessor>(r)->ReleaseAccessor(777, nullptr); }},
      {"GetColumnInfo without out-parameters", &IID_IColumnsInfo, E_INVALIDARG,
       [](IRowset* r) { return As<IColumnsInfo>(r)->GetColumnInfo(nullptr, nullptr, nullptr); }},
      {"GetReferencedRowset of the missing bookmark column", &IID_IRowsetInfo, DB_E_BADORDINAL,
       [](IRowset* r) {
         ComPtr<IUnknown> referenced;
         return As<IRowsetInfo>(r)->GetReferencedRowset(0, IID_IRowset, &referenced);
       }},
      {"GetReferencedRowset of a plain column", &IID_IRowsetInfo, DB_E_NOTAREFERENCECOLUMN,
       [](IRowset* r) {
         ComPtr<IUnknown> referenced;
         return As<IRowsetInfo>(r)->GetReferencedRowset(2, IID_IRowset, &referenced);
       }},
      {"GetSpecification without an out-parameter", &IID_IRowsetInfo, E_INVALIDARG,
       [](IRowset* r) { return As<IRowsetInfo>(r)->GetSpecification(IID_IUnknown, nullptr); }},
      {"GetColumnsRowset aggregated", &IID_IColumnsRowset, DB_E_NOAGGREGATION,
       [](IRowset* r) {
         ComPtr<IUnknown> columns;
         return As<IColumnsRowset>(r)->GetColumnsRowset(r, 0, nullptr, IID_IUnknown, 0, nullptr, &columns);
       }},
      {"GetColumnsRowset with optional columns counted but not given", &IID_IColumnsRowset, E_INVALIDARG,
       [](IRowset* r) {
         ComPtr<IUnknown> columns;
         return As<IColumnsRowset>(r)->GetColumnsRowset(nullptr, 2, nullptr, IID_IUnknown, 0, nullptr, &columns);
       }},
      {"CanConvert for a parameter", &IID_IConvertType, DB_E_BADCONVERTFLAG,
       [](IRowset* r) { return As<IConvertType>(r)->CanConvert(DBTYPE_I8, DBTYPE_STR, DBCONVERTFLAGS_PARAMETER); }},
      {"CanConvert with unknown flags", &IID_IConvertType, DB_E_BADCONVERTFLAG,
       [](IRowset* r) { return As<IConvertType>(r)->CanConvert(DBTYPE_I8, DBTYPE_STR, 0x100); }},
  };
}

TEST(RowsetBaseTest, EveryFailingMethodLeavesOneRecordNamingItsInterface) {
  ComPtr<IRowset> rowset = MakeRowset();
  auto support = rowset.As<ISupportErrorInfo>();
  ASSERT_TRUE(support);
  for (const FailingCall& c : FailingCalls()) {
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(c.call(rowset), c.expected) << c.what;
    auto records = TakeRecords();
    ASSERT_EQ(records.size(), 1u) << c.what;
    EXPECT_EQ(records[0].basic.hrError, c.expected) << c.what;
    EXPECT_EQ(records[0].basic.iid, *c.iid) << c.what;
    EXPECT_EQ(records[0].basic.clsid, kProvider) << c.what;
    EXPECT_EQ(records[0].source, u"Tiny.Provider") << c.what;
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(*c.iid), S_OK) << c.what;
  }
}

TEST(RowsetBaseTest, ASucceedingCallLeavesNoStaleRecord) {
  ComPtr<IRowset> rowset = MakeRowset();
  auto accessor = rowset.As<IAccessor>();
  ASSERT_EQ(accessor->AddRefAccessor(777, nullptr), DB_E_BADACCESSORHANDLE);
  DBBINDING b = TextSlotBinding(2);
  HACCESSOR h = 0;
  ASSERT_EQ(accessor->CreateAccessor(DBACCESSOR_ROWDATA, 1, &b, 0, &h, nullptr), S_OK);
  EXPECT_TRUE(TakeRecords().empty());
  // A partly successful mapping speaks through its ordinals alone.
  DBID ids[2] = {};
  ids[0].eKind = ids[1].eKind = DBKIND_NAME;
  ids[0].uName.pwszName = const_cast<LPOLESTR>(u"name");
  ids[1].uName.pwszName = const_cast<LPOLESTR>(u"missing");
  DBORDINAL ordinals[2];
  EXPECT_EQ(rowset.As<IColumnsInfo>()->MapColumnIDs(2, ids, ordinals), DB_S_ERRORSOCCURRED);
  EXPECT_TRUE(TakeRecords().empty());
  EXPECT_EQ(accessor->ReleaseAccessor(h, nullptr), S_OK);
  // A released accessor is gone for good.
  EXPECT_EQ(accessor->AddRefAccessor(h, nullptr), DB_E_BADACCESSORHANDLE);
  EXPECT_EQ(TakeRecords().size(), 1u);
}

TEST(RowsetBaseTest, ErrorSupportIsClaimedOnlyForWhatTheRowsetGives) {
  auto support = MakeRowset().As<ISupportErrorInfo>();
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IRowset), S_OK);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IRowsetLocate), S_FALSE);  // no bookmarks here
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IRowsetChange), S_FALSE);
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_ISupportErrorInfo), S_FALSE);
}

TEST(RowsetBaseTest, ColumnsRowsetAndConversionAnswers) {
  ComPtr<IRowset> rowset = MakeRowset();
  ComPtr<IRowset> columns;
  DBID optional[] = {DBCOLUMN_BASETABLENAME};
  ASSERT_EQ(rowset.As<IColumnsRowset>()->GetColumnsRowset(nullptr, 1, optional, IID_IRowset, 0, nullptr,
                                                          reinterpret_cast<IUnknown**>(&columns)),
            S_OK);
  DBORDINAL count = 0;
  DBCOLUMNINFO* info = nullptr;
  OLECHAR* strings = nullptr;
  ASSERT_EQ(columns.As<IColumnsInfo>()->GetColumnInfo(&count, &info, &strings), S_OK);
  EXPECT_EQ(std::u16string(info[count - 1].pwszName), u"DBCOLUMN_BASETABLENAME");
  CoTaskMemFree(info);
  CoTaskMemFree(strings);
  // The columns rowset was made by the rowset it describes.
  ComPtr<IUnknown> creator;
  ASSERT_EQ(columns.As<IRowsetInfo>()->GetSpecification(IID_IUnknown, &creator), S_OK);
  EXPECT_EQ(creator.Get(), rowset.As<IUnknown>().Get());

  auto convert = rowset.As<IConvertType>();
  EXPECT_EQ(convert->CanConvert(DBTYPE_I8, DBTYPE_WSTR, DBCONVERTFLAGS_COLUMN), S_OK);
  EXPECT_EQ(convert->CanConvert(DBTYPE_WSTR, DBTYPE_STR | DBTYPE_BYREF, DBCONVERTFLAGS_ISLONG), S_OK);
  EXPECT_EQ(convert->CanConvert(DBTYPE_I8, DBTYPE_IUNKNOWN, DBCONVERTFLAGS_COLUMN), S_FALSE);
}

}  // namespace
