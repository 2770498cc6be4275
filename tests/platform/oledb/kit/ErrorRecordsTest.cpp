// Error objects as a client walks them: the thread's error object, its
// records, each record's description and source, and the SQLSTATE.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComPtr.h"
#include "ErrorRecords.h"
#include "MemoryRowset.h"
#include "oleauto.h"

namespace {

constexpr CLSID kProvider = {0x11111111, 0x2222, 0x3333, {1, 2, 3, 4, 5, 6, 7, 8}};

struct Shown {
  std::u16string description;
  std::u16string source;
};

std::u16string Take(BSTR s) {
  std::u16string text = s ? std::u16string(s, SysStringLen(s)) : std::u16string();
  SysFreeString(s);
  return text;
}

// The walk a client makes after a failed call: ask the object whether the
// interface posts records, take the thread's error object, read each record.
HRESULT WalkErrors(IUnknown* object, REFIID iid, std::vector<Shown>& shown) {
  ComPtr<ISupportErrorInfo> support;
  HRESULT hr = object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support));
  if (FAILED(hr)) return hr;
  hr = support->InterfaceSupportsErrorInfo(iid);
  if (hr != S_OK) return hr;
  ComPtr<IErrorInfo> info;
  hr = GetErrorInfo(0, &info);
  if (hr != S_OK) return hr;
  ComPtr<IErrorRecords> records;
  hr = info.As(&records);
  if (FAILED(hr)) return hr;
  info.Reset();
  ULONG count = 0;
  records->GetRecordCount(&count);
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IErrorInfo> record;
    records->GetErrorInfo(i, GetUserDefaultLCID(), &record);
    BSTR description = nullptr, source = nullptr;
    record->GetDescription(&description);
    record->GetSource(&source);
    record.Reset();  // the strings are the reader's own copies
    shown.push_back({Take(description), Take(source)});
  }
  return S_OK;
}

TEST(ErrorRecordsTest, AFailedRowsetCallLeavesARecordTheClientCanWalk) {
  ComPtr<IRowset> rowset;
  ASSERT_EQ(CreateMemoryRowset({}, {}, nullptr, kProvider, u"Tiny.Provider", IID_IRowset,
                               reinterpret_cast<IUnknown**>(&rowset)),
            S_OK);
  BYTE buffer[16];
  EXPECT_EQ(rowset->GetData(12345, 1, buffer), DB_E_BADACCESSORHANDLE);
  std::vector<Shown> shown;
  ASSERT_EQ(WalkErrors(rowset, IID_IRowset, shown), S_OK);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].source, u"Tiny.Provider");
  EXPECT_EQ(shown[0].description, u"The accessor handle is not valid.");

  // The slot was handed over: a second walk finds nothing.
  shown.clear();
  EXPECT_EQ(WalkErrors(rowset, IID_IRowset, shown), S_FALSE);
  ComPtr<ISupportErrorInfo> support = rowset.As<ISupportErrorInfo>();
  EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDBProperties), S_FALSE);
}

TEST(ErrorRecordsTest, RecordsKeepTheirOrderAndCarrySqlState) {
  CErrorRecordsBuilder builder(kProvider, IID_ICommand, u"Tiny.Provider");
  builder.Add(DB_E_ERRORSINCOMMAND, "near \"selec\": syntax error", "42000", 1)
      .Add(E_FAIL, "statement aborted \xC3\xA9");
  EXPECT_EQ(builder.Post(DB_E_ERRORSINCOMMAND), DB_E_ERRORSINCOMMAND);
  EXPECT_TRUE(builder.Empty());

  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR top = nullptr;
  info->GetDescription(&top);
  EXPECT_EQ(Take(top), u"near \"selec\": syntax error");
  GUID iid{};
  info->GetGUID(&iid);
  EXPECT_EQ(iid, IID_ICommand);

  ComPtr<IErrorRecords> records = info.As<IErrorRecords>();
  ASSERT_TRUE(records);
  info.Reset();
  ULONG count = 0;
  ASSERT_EQ(records->GetRecordCount(&count), S_OK);
  ASSERT_EQ(count, 2u);

  ComPtr<IErrorInfo> second;
  ASSERT_EQ(records->GetErrorInfo(1, 0, &second), S_OK);
  BSTR text = nullptr;
  second->GetDescription(&text);
  EXPECT_EQ(Take(text), u"statement aborted \u00E9");

  ERRORINFO basic{};
  ASSERT_EQ(records->GetBasicErrorInfo(0, &basic), S_OK);
  EXPECT_EQ(basic.hrError, DB_E_ERRORSINCOMMAND);
  EXPECT_EQ(basic.clsid, kProvider);
  EXPECT_EQ(basic.dwMinor, 1u);

  ComPtr<ISQLErrorInfo> sql;
  ASSERT_EQ(records->GetCustomErrorObject(0, IID_ISQLErrorInfo, reinterpret_cast<IUnknown**>(&sql)), S_OK);
  ASSERT_TRUE(sql);
  BSTR state = nullptr;
  LONG native = 0;
  ASSERT_EQ(sql->GetSQLInfo(&state, &native), S_OK);
  EXPECT_EQ(Take(state), u"42000");
  EXPECT_EQ(native, 1);

  IUnknown* none = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(records->GetCustomErrorObject(1, IID_ISQLErrorInfo, &none), S_OK);
  EXPECT_EQ(none, nullptr);

  ComPtr<IErrorInfo> missing;
  EXPECT_EQ(records->GetErrorInfo(2, 0, &missing), DB_E_BADRECORDNUM);
  EXPECT_EQ(records->GetBasicErrorInfo(2, &basic), DB_E_BADRECORDNUM);
  EXPECT_EQ(records->GetRecordCount(nullptr), E_INVALIDARG);

  // A record outlives the error object that gave it.
  records.Reset();
  second->GetSource(&text);
  EXPECT_EQ(Take(text), u"Tiny.Provider");
}

TEST(ErrorRecordsTest, AddedRecordsGoOnTop) {
  ComPtr<IErrorInfo> info;
  ErrorRecord first;
  first.description = u"first";
  ASSERT_EQ(CreateErrorObject({first}, &info), S_OK);
  ComPtr<IErrorRecords> records = info.As<IErrorRecords>();
  ERRORINFO added{DB_E_NOTABLE, 0, kProvider, IID_IOpenRowset, 0};
  ASSERT_EQ(records->AddErrorRecord(&added, 0, nullptr, nullptr, 0), S_OK);
  EXPECT_EQ(records->AddErrorRecord(nullptr, 0, nullptr, nullptr, 0), E_INVALIDARG);
  ULONG count = 0;
  records->GetRecordCount(&count);
  EXPECT_EQ(count, 2u);
  ERRORINFO basic{};
  records->GetBasicErrorInfo(0, &basic);
  EXPECT_EQ(basic.hrError, DB_E_NOTABLE);
  ComPtr<IErrorInfo> old;
  records->GetErrorInfo(1, 0, &old);
  BSTR text = nullptr;
  old->GetDescription(&text);
  EXPECT_EQ(Take(text), u"first");
}

TEST(ErrorRecordsTest, PostErrorReplacesAStaleRecord) {
  PostError(E_FAIL, kProvider, IID_IRowset, u"src", "old");
  PostError(DB_E_BADROWHANDLE, kProvider, IID_IRowset, u"src", "new");
  ComPtr<IErrorInfo> info;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_EQ(Take(text), u"new");
  ClearErrorInfo();
  ComPtr<IErrorInfo> none;
  EXPECT_EQ(GetErrorInfo(0, &none), S_FALSE);
}

}  // namespace
