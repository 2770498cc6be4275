// The message box. Every box the application shows goes through
// MessageBoxA, so a test can watch and answer all of them with one hook.
#pragma once

#include <functional>
#include <string>

#include "CString.h"
#include "UiDefs.h"

struct MessageBoxCall {
  HWND owner = nullptr;
  std::string text;
  std::string caption;  // as shown: defaults already applied
  UINT type = MB_OK;
};

using MessageBoxHook = std::function<int(const MessageBoxCall&)>;

// Installs a hook that replaces the real box; returns the previous one.
// An empty hook restores the real box.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// The window system's box: a null caption shows the system's own default
// caption, "Error".
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The framework's box: a null caption shows the application's name.
int AfxMessageBox(LPCSTR text, UINT type = MB_OK);
int AfxMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type);

// The executable's file name without its extension.
CString AfxGetAppName();
