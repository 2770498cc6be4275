#include "ShellServices.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>
#include <strings.h>

namespace {

ShellExecuteHook& Hook() {
  static ShellExecuteHook hook;
  return hook;
}

HINSTANCE AsInstance(INT_PTR code) { return reinterpret_cast<HINSTANCE>(code); }

INT_PTR OpenAddress(const ShellExecuteCall& call) {
  if (!call.verb.empty() && strcasecmp(call.verb.c_str(), "open") != 0) return SE_ERR_NOASSOC;
  const QUrl url = QUrl::fromUserInput(QString::fromStdString(call.file));
  if (!url.isValid() || call.file.empty()) return SE_ERR_FNF;
  return QDesktopServices::openUrl(url) ? 33 : SE_ERR_NOASSOC;
}

}  // namespace

ShellExecuteHook SetShellExecuteHook(ShellExecuteHook hook) { return std::exchange(Hook(), std::move(hook)); }

HINSTANCE ShellExecuteA(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                        int showCommand) {
  const ShellExecuteCall call{owner, verb ? verb : "", file ? file : "", parameters ? parameters : "",
                              directory ? directory : "", showCommand};
  return AsInstance(Hook() ? Hook()(call) : OpenAddress(call));
}

namespace {

MessageBeepHook& BeepHook() {
  static MessageBeepHook hook;
  return hook;
}

}  // namespace

MessageBeepHook SetMessageBeepHook(MessageBeepHook hook) { return std::exchange(BeepHook(), std::move(hook)); }

BOOL MessageBeep(UINT type) {
  if (BeepHook())
    BeepHook()(type);
  else
    QApplication::beep();
  return TRUE;
}

UINT GetCaretBlinkTime() {
  const int cycle = QApplication::cursorFlashTime();
  return cycle > 0 ? static_cast<UINT>(cycle / 2) : INFINITE;
}
