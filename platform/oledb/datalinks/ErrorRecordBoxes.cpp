#include "ErrorRecordBoxes.h"

#include <cstdio>
#include <string>

#include "ComPtr.h"
#include "HwndMap.h"
#include "MessageBox.h"
#include "oledb.h"

namespace {

std::string TakeText(BSTR text) {
  std::string converted = text ? OleToAnsi(text) : std::string();
  SysFreeString(text);
  return converted;
}

// One box: the description, captioned with the source.
void ShowOne(HWND owner, IErrorInfo* errorInfo) {
  BSTR description = nullptr;
  BSTR source = nullptr;
  errorInfo->GetDescription(&description);
  errorInfo->GetSource(&source);
  const std::string text = TakeText(description);
  const std::string caption = TakeText(source);
  MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR);
}

// Returns the number of boxes shown.
ULONG ShowRecords(HWND owner, IErrorInfo* errorInfo) {
  ComPtr<IErrorRecords> records;
  ULONG count = 0;
  if (FAILED(errorInfo->QueryInterface(IID_IErrorRecords, records.ReleaseAndGetVoidAddress())) ||
      FAILED(records->GetRecordCount(&count))) {
    // A plain error object: one message.
    ShowOne(owner, errorInfo);
    return 1;
  }
  ULONG shown = 0;
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IErrorInfo> record;
    if (FAILED(records->GetErrorInfo(i, GetUserDefaultLCID(), &record)) || !record) continue;
    ShowOne(owner, record);
    ++shown;
  }
  return shown;
}

}  // namespace

void ShowErrorRecordBoxes(QWidget* owner, HRESULT failure, const char* fallback, const char* caption) {
  const HWND ownerHandle = HwndFromWidget(owner);
  ComPtr<IErrorInfo> errorInfo;
  if (GetErrorInfo(0, &errorInfo) == S_OK && errorInfo && ShowRecords(ownerHandle, errorInfo) > 0)
    return;
  char code[16];
  snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(failure));
  const std::string text = std::string(fallback) + "\n\nError " + code;
  MessageBoxA(ownerHandle, text.c_str(), caption, MB_OK | MB_ICONERROR);
}
