// Small services of the desktop shell: opening an address, the beep, the
// caret blink time and the wait cursor's scope.
#pragma once

#include <functional>
#include <string>

#include "UiDefs.h"

struct ShellExecuteCall {
  HWND owner = nullptr;
  std::string verb;  // empty for the default action
  std::string file;
  std::string parameters;
  std::string directory;
  int showCommand = SW_SHOWNORMAL;
};

// Returns a value above 32 on success, as the shell does.
using ShellExecuteHook = std::function<INT_PTR(const ShellExecuteCall&)>;
ShellExecuteHook SetShellExecuteHook(ShellExecuteHook hook);

constexpr INT_PTR SE_ERR_FNF = 2;
constexpr INT_PTR SE_ERR_NOASSOC = 31;

// Only the default action and "open" are known; any other verb fails with
// SE_ERR_NOASSOC.
HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand);
#define ShellExecute ShellExecuteA

BOOL MessageBeep(UINT type);
// Lets a test hear the beeps instead of the desktop; an empty hook restores
// the desktop's beep. Returns the previous hook.
using MessageBeepHook = std::function<void(UINT type)>;
MessageBeepHook SetMessageBeepHook(MessageBeepHook hook);
// Milliseconds between the caret's on and off phases; INFINITE when the
// caret does not blink.
UINT GetCaretBlinkTime();
