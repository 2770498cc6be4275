// A multi-line edit control. Without the want-return style Enter belongs to
// the dialog (its default button) and Ctrl+Enter starts a new line, as in
// the platform's dialogs; with it, Enter starts a new line.
#pragma once

#include <QPlainTextEdit>

class MultiLineEdit : public QPlainTextEdit {
 public:
  MultiLineEdit(bool wantReturn, QWidget* parent) : QPlainTextEdit(parent), m_bWantReturn(wantReturn) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool m_bWantReturn;
};
