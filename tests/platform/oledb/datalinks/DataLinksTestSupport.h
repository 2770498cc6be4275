// Scripting the Data Links dialogs in tests: the dialog hook, recorded
// message boxes, and lookup of the dialogs' named widgets.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QPushButton>
#include <string>
#include <vector>

#include "DataLinksTestHook.h"
#include "MessageBox.h"
#include "objbase.h"

struct CComScope {
  CComScope() { CoInitialize(nullptr); }
  ~CComScope() { CoUninitialize(); }
};

// Answers every message box with IDOK and keeps what it showed.
class CMessageBoxRecorder {
 public:
  CMessageBoxRecorder() {
    m_previous = SetMessageBoxHook([this](const MessageBoxCall& call) {
      m_calls.push_back(call);
      return IDOK;
    });
  }
  ~CMessageBoxRecorder() { SetMessageBoxHook(m_previous); }
  const std::vector<MessageBoxCall>& Calls() const { return m_calls; }

 private:
  MessageBoxHook m_previous;
  std::vector<MessageBoxCall> m_calls;
};

// Runs `script` on every Data Links dialog shown while it lives. A dialog the
// script leaves open is cancelled, so a failing test never hangs.
class CDialogScript {
 public:
  explicit CDialogScript(std::function<void(QDialog&)> script) {
    m_previous = SetDataLinksDialogHook([this, script](QDialog& dialog) {
      ++m_shown;
      m_lastTitle = dialog.windowTitle().toStdString();
      m_lastName = dialog.objectName().toStdString();
      script(dialog);
      if (dialog.isVisible()) dialog.reject();
    });
  }
  ~CDialogScript() { SetDataLinksDialogHook(m_previous); }
  int Shown() const { return m_shown; }
  const std::string& LastTitle() const { return m_lastTitle; }
  const std::string& LastName() const { return m_lastName; }

 private:
  DataLinksDialogHook m_previous;
  int m_shown = 0;
  std::string m_lastTitle;
  std::string m_lastName;
};

template <class T>
T* Child(QDialog& dialog, const char* name) {
  T* child = dialog.findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << "no widget named " << name;
  return child;
}

inline void Click(QDialog& dialog, const char* name) {
  if (auto* button = Child<QPushButton>(dialog, name)) button->click();
}
