#include "MultiLineEdit.h"

#include <QKeyEvent>

void MultiLineEdit::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (!enter || m_bWantReturn || isReadOnly()) {
    QPlainTextEdit::keyPressEvent(event);
    return;
  }
  const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (modifiers == Qt::ControlModifier) {
    insertPlainText(QStringLiteral("\n"));
    return;
  }
  event->ignore();  // up to the dialog window, which presses the default button
}
