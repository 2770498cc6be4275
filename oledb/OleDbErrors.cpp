#include "OleDbErrors.h"

#include <string>

#include "MessageBox.h"
#include "oledb.h"
#include "stringapiset.h"

namespace {

constexpr int kErrorInfoAttempts = 3;

std::string TextOf(BSTR text) { return text ? OleToAnsi(text) : std::string(); }

// The walk's own failures carry the system's default caption.
void ShowWalkFailure(HWND owner, const char* text) { MessageBoxA(owner, text, nullptr, MB_ICONERROR); }

// The thread's error object can lag behind the failed call, so it is asked
// for a few times before giving up.
HRESULT FetchErrorInfo(IErrorInfo** errorInfo) {
  HRESULT hr = S_FALSE;
  for (int attempt = 0; attempt < kErrorInfoAttempts; ++attempt) {
    hr = GetErrorInfo(0, errorInfo);
    if (hr == S_OK) return hr;
  }
  return hr;
}

void ShowRecords(IErrorRecords* records, HWND owner) {
  ULONG count = 0;
  records->GetRecordCount(&count);
  for (ULONG index = 0; index < count; ++index) {
    IErrorInfo* recordInfo = nullptr;
    if (SUCCEEDED(records->GetErrorInfo(index, GetUserDefaultLCID(), &recordInfo)) && recordInfo)
      ShowErrorInfo(recordInfo, owner);
  }
}

// Takes over the reference to errorInfo.
HRESULT ShowRecordsOf(IErrorInfo* errorInfo, HWND owner) {
  IErrorRecords* records = nullptr;
  const HRESULT hr = errorInfo->QueryInterface(IID_IErrorRecords, reinterpret_cast<void**>(&records));
  if (FAILED(hr) || !records) {
    ShowErrorInfo(errorInfo, owner);
    return FAILED(hr) ? hr : E_NOINTERFACE;
  }
  errorInfo->Release();
  ShowRecords(records, owner);
  records->Release();
  return S_OK;
}

}  // namespace

void ShowErrorInfo(IErrorInfo* errorInfo, HWND owner) {
  if (!errorInfo) return;
  BSTR description = nullptr;
  BSTR source = nullptr;
  errorInfo->GetDescription(&description);
  errorInfo->GetSource(&source);
  errorInfo->Release();
  const std::string text = TextOf(description);
  const std::string caption = TextOf(source);
  MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONERROR);
  SysFreeString(description);
  SysFreeString(source);
}

HRESULT ShowOleDbErrors(IUnknown* object, REFIID iid, HWND owner, BOOL releaseObject) {
  ISupportErrorInfo* support = nullptr;
  HRESULT hr = object ? object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)) : E_POINTER;
  if (releaseObject && object) object->Release();
  if (FAILED(hr) || !support) {
    ShowWalkFailure(owner, "ErrorInfo not supported");
    return FAILED(hr) ? hr : E_NOINTERFACE;
  }
  hr = support->InterfaceSupportsErrorInfo(iid);
  support->Release();
  if (hr != S_OK) {
    ShowWalkFailure(owner, "ErrorInfo not supported");
    return hr;
  }
  IErrorInfo* errorInfo = nullptr;
  hr = FetchErrorInfo(&errorInfo);
  if (hr != S_OK || !errorInfo) {
    ShowWalkFailure(owner, "No ErrorInfo available");
    return hr == S_OK ? S_FALSE : hr;
  }
  return ShowRecordsOf(errorInfo, owner);
}

void ShowErrorObject(IErrorInfo* errorInfo, HWND owner) {
  if (!errorInfo) {
    ShowWalkFailure(owner, "No ErrorInfo available");
    return;
  }
  ShowRecordsOf(errorInfo, owner);
}
