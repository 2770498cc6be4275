#include "MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <utility>
#include <vector>

#include "HwndMap.h"

namespace {

MessageBoxHook& Hook() {
  static MessageBoxHook hook;
  return hook;
}

QMessageBox::Icon IconFor(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONEXCLAMATION: return QMessageBox::Warning;
    case MB_ICONASTERISK: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

struct ButtonChoice {
  const char* label;
  int id;
  QMessageBox::ButtonRole role;
};

std::vector<ButtonChoice> ButtonsFor(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{"OK", IDOK, QMessageBox::AcceptRole}, {"Cancel", IDCANCEL, QMessageBox::RejectRole}};
    case MB_YESNOCANCEL:
      return {{"&Yes", IDYES, QMessageBox::YesRole}, {"&No", IDNO, QMessageBox::NoRole},
              {"Cancel", IDCANCEL, QMessageBox::RejectRole}};
    case MB_YESNO: return {{"&Yes", IDYES, QMessageBox::YesRole}, {"&No", IDNO, QMessageBox::NoRole}};
    case MB_RETRYCANCEL:
      return {{"&Retry", IDRETRY, QMessageBox::AcceptRole}, {"Cancel", IDCANCEL, QMessageBox::RejectRole}};
    default: return {{"OK", IDOK, QMessageBox::AcceptRole}};
  }
}

// Escape answers Cancel when there is one, else the only button; a Yes/No
// box cannot be escaped, as on the original system.
int EscapeAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return 0;
    default: return IDCANCEL;
  }
}

int ShowRealBox(const MessageBoxCall& call) {
  QMessageBox box(IconFor(call.type), QString::fromStdString(call.caption), QString::fromStdString(call.text),
                  QMessageBox::NoButton, WidgetFromHwnd(call.owner));
  std::vector<std::pair<QAbstractButton*, int>> answers;
  const auto choices = ButtonsFor(call.type);
  for (size_t i = 0; i < choices.size(); ++i) {
    QPushButton* button = box.addButton(QString::fromUtf8(choices[i].label), choices[i].role);
    answers.emplace_back(button, choices[i].id);
    if (i == ((call.type & MB_DEFMASK) >> 8)) box.setDefaultButton(button);
    if (choices[i].id == EscapeAnswer(call.type)) box.setEscapeButton(button);
  }
  box.exec();
  for (const auto& [button, id] : answers)
    if (box.clickedButton() == button) return id;
  return EscapeAnswer(call.type) ? EscapeAnswer(call.type) : IDNO;
}

int Show(HWND owner, LPCSTR text, std::string caption, UINT type) {
  MessageBoxCall call{owner, text ? text : "", std::move(caption), type};
  if (Hook()) return Hook()(call);
  return ShowRealBox(call);
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) { return std::exchange(Hook(), std::move(hook)); }

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return Show(owner, text, caption ? caption : "Error", type);
}

int AfxMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  return Show(owner, text, caption ? std::string(caption) : AfxGetAppName().str(), type);
}

int AfxMessageBox(LPCSTR text, UINT type) {
  QWidget* owner = QApplication::activeWindow();
  return AfxMessageBox(HwndFromWidget(owner), text, nullptr, type);
}

CString AfxGetAppName() {
  return CString(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString());
}
