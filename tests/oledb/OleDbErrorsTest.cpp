#include <gtest/gtest.h>

#include "ComObject.h"
#include "ErrorRecords.h"
#include "MessageBoxRecorder.h"
#include "OleDbErrors.h"
#include "objbase.h"

namespace {

HWND const kOwner = reinterpret_cast<HWND>(0x1234);

// An object whose method "failed": it answers for error information on one
// interface and counts its releases.
class FailingObject : public ComObject<ISupportErrorInfo> {
 public:
  explicit FailingObject(HRESULT supportAnswer = S_OK) : m_supportAnswer(supportAnswer) {}
  HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
    m_askedFor = riid;
    return m_supportAnswer;
  }
  ULONG Count() const { return RefCount(); }
  IID m_askedFor = GUID_NULL;

 private:
  HRESULT m_supportAnswer;
};

class PlainObject : public ComObject<IDBInitialize> {
 public:
  HRESULT STDMETHODCALLTYPE Initialize() override { return E_FAIL; }
  HRESULT STDMETHODCALLTYPE Uninitialize() override { return E_FAIL; }
  ULONG Count() const { return RefCount(); }
};

// A single error object without records.
class LoneErrorInfo : public ComObject<IErrorInfo> {
 public:
  LoneErrorInfo(const char16_t* description, const char16_t* source) : m_description(description), m_source(source) {}
  HRESULT STDMETHODCALLTYPE GetGUID(GUID* guid) override {
    *guid = GUID_NULL;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetSource(BSTR* source) override {
    *source = m_source ? SysAllocString(m_source) : nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDescription(BSTR* description) override {
    *description = m_description ? SysAllocString(m_description) : nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetHelpFile(BSTR* file) override {
    *file = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE GetHelpContext(DWORD* context) override {
    *context = 0;
    return E_NOTIMPL;
  }
  ~LoneErrorInfo() override { ++s_destroyed; }
  static inline int s_destroyed = 0;

 private:
  const char16_t* m_description;
  const char16_t* m_source;
};

class OleDbErrorsTest : public testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    SetErrorInfo(0, nullptr);
  }
  void TearDown() override {
    SetErrorInfo(0, nullptr);
    CoUninitialize();
  }
  MessageBoxRecorder boxes;
};

TEST_F(OleDbErrorsTest, EachRecordGetsItsOwnBoxInOrderCaptionedWithItsSource) {
  CErrorRecordsBuilder records(GUID_NULL, IID_IDBInitialize, u"Ravezov.SQLite");
  records.Add(E_FAIL, "first").Add(E_FAIL, "second").Add(E_FAIL, "third");
  records.Post(E_FAIL);
  auto* object = new FailingObject();
  EXPECT_EQ(ShowOleDbErrors(object, IID_IDBInitialize, kOwner, FALSE), S_OK);
  EXPECT_EQ(object->m_askedFor, IID_IDBInitialize);
  ASSERT_EQ(boxes.Texts(), (std::vector<std::string>{"first", "second", "third"}));
  for (const auto& call : boxes.Calls()) {
    EXPECT_EQ(call.caption, "Ravezov.SQLite");
    EXPECT_EQ(call.type, MB_ICONERROR);
    EXPECT_EQ(call.owner, kOwner);
  }
  // Without release the caller keeps its reference.
  EXPECT_EQ(object->Count(), 1u);
  object->Release();
}

TEST_F(OleDbErrorsTest, AnErrorObjectWithoutRecordsIsShownOnceAndReleased) {
  LoneErrorInfo::s_destroyed = 0;
  IErrorInfo* info = nullptr;
  ComObject<IErrorInfo>::CreateInstance<LoneErrorInfo>(IID_IErrorInfo, reinterpret_cast<void**>(&info),
                                                       u"disk full", u"Storage");
  SetErrorInfo(0, info);
  info->Release();
  auto* object = new FailingObject();
  EXPECT_EQ(ShowOleDbErrors(object, IID_IDBInitialize, kOwner, TRUE), E_NOINTERFACE);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "disk full");
  EXPECT_EQ(boxes.Calls()[0].caption, "Storage");
  EXPECT_EQ(LoneErrorInfo::s_destroyed, 1);
}

TEST_F(OleDbErrorsTest, NullDescriptionAndSourceShowAsEmptyTexts) {
  IErrorInfo* info = nullptr;
  ComObject<IErrorInfo>::CreateInstance<LoneErrorInfo>(IID_IErrorInfo, reinterpret_cast<void**>(&info), nullptr,
                                                       nullptr);
  ShowErrorInfo(info, kOwner);
  ASSERT_EQ(boxes.Calls().size(), 1u);
  EXPECT_EQ(boxes.Calls()[0].text, "");
  EXPECT_EQ(boxes.Calls()[0].caption, "");
}

TEST_F(OleDbErrorsTest, FixedTextsOfTheWalkCarryTheSystemCaptionAndTheErrorIcon) {
  {
    auto* unsupported = new FailingObject(S_FALSE);
    EXPECT_EQ(ShowOleDbErrors(unsupported, IID_IDBInitialize, kOwner, TRUE), S_FALSE);
  }
  {
    // Supported, but no error object was left behind; a second report of
    // the same failure finds nothing either.
    auto* object = new FailingObject();
    EXPECT_EQ(ShowOleDbErrors(object, IID_IDBInitialize, kOwner, TRUE), S_FALSE);
  }
  ASSERT_EQ(boxes.Texts(), (std::vector<std::string>{"ErrorInfo not supported", "No ErrorInfo available"}));
  for (const auto& call : boxes.Calls()) {
    EXPECT_EQ(call.caption, "Error");
    EXPECT_EQ(call.type, MB_ICONERROR);
  }
}

TEST_F(OleDbErrorsTest, AnObjectWithoutErrorSupportIsStillReleasedWhenAsked) {
  auto* object = new PlainObject();
  object->AddRef();  // keep it alive to look at the count
  EXPECT_EQ(ShowOleDbErrors(object, IID_IDBInitialize, kOwner, TRUE), E_NOINTERFACE);
  EXPECT_EQ(object->Count(), 1u);
  EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"ErrorInfo not supported"});
  object->Release();
}

TEST_F(OleDbErrorsTest, ZeroRecordsShowNothing) {
  IErrorInfo* info = nullptr;
  ASSERT_EQ(CreateErrorObject({}, &info), S_OK);
  SetErrorInfo(0, info);
  info->Release();
  auto* object = new FailingObject();
  EXPECT_EQ(ShowOleDbErrors(object, IID_IDBInitialize, kOwner, TRUE), S_OK);
  EXPECT_TRUE(boxes.Calls().empty());
}

}  // namespace
