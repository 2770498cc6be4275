#include "DialogWindow.h"

#include <QKeyEvent>
#include <QPushButton>

DialogWindow::DialogWindow(QWidget* parent, std::function<void()> onOk, std::function<void()> onCancel)
    : QDialog(parent), m_onOk(std::move(onOk)), m_onCancel(std::move(onCancel)) {}

void DialogWindow::accept() { m_onOk(); }

void DialogWindow::reject() { m_onCancel(); }

bool DialogWindow::PressDefaultButton() {
  auto* focused = qobject_cast<QPushButton*>(focusWidget());
  if (focused && focused->isVisible()) {
    if (focused->isEnabled()) focused->click();
    return true;
  }
  for (QPushButton* button : findChildren<QPushButton*>()) {
    if (!button->isDefault() || !button->isVisible()) continue;
    if (button->isEnabled()) button->click();
    return true;
  }
  return false;
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (enter && modifiers == Qt::NoModifier) {
    // With no default button, Enter is the dialog's OK, as on the original system.
    if (!PressDefaultButton()) m_onOk();
    return;
  }
  QDialog::keyPressEvent(event);
}
