#include "DialogWindow.h"

#include <QKeyEvent>
#include <QPushButton>

DialogWindow::DialogWindow(QWidget* parent, std::function<void()> onOk, std::function<void()> onCancel)
    : QDialog(parent), m_onOk(std::move(onOk)), m_onCancel(std::move(onCancel)) {}

void DialogWindow::accept() { m_onOk(); }

void DialogWindow::reject() { m_onCancel(); }

namespace {

constexpr const char* kOwnsDefaultButton = "ownsDefaultButton";
constexpr const char* kDialogDefault = "dialogDefault";

bool OwnsDefaultButton(const QWidget* area) { return area->property(kOwnsDefaultButton).toBool(); }

QPushButton* VisibleDefaultIn(const QWidget* area) {
  for (QPushButton* button : area->findChildren<QPushButton*>())
    if (DialogWindow::IsDefaultButton(button) && button->isVisible()) return button;
  return nullptr;
}

}  // namespace

void DialogWindow::MarkOwnDefaultButtonArea(QWidget* area) { area->setProperty(kOwnsDefaultButton, true); }

// Qt keeps one default button per window and clears the others; a page's
// default must not clear the sheet's, so the dialog's own record is kept
// beside Qt's flag, which only draws it.
void DialogWindow::SetDefaultButton(QPushButton* button, bool isDefault) {
  if (!button) return;
  button->setProperty(kDialogDefault, isDefault);
  button->setDefault(isDefault);
}

bool DialogWindow::IsDefaultButton(const QPushButton* button) { return button->property(kDialogDefault).toBool(); }

// A page that set a default button of its own keeps it to itself: Enter
// presses it while the focus is on that page, and the window's default
// everywhere else.
QPushButton* DialogWindow::DefaultButtonNearFocus() const {
  for (QWidget* area = focusWidget(); area && area != this; area = area->parentWidget())
    if (OwnsDefaultButton(area))
      if (QPushButton* button = VisibleDefaultIn(area)) return button;
  for (QPushButton* button : findChildren<QPushButton*>())
    if (IsDefaultButton(button) && button->isVisible() && !InOwnDefaultButtonArea(button)) return button;
  return nullptr;
}

bool DialogWindow::InOwnDefaultButtonArea(const QPushButton* button) const {
  for (QWidget* area = button->parentWidget(); area && area != this; area = area->parentWidget())
    if (OwnsDefaultButton(area)) return true;
  return false;
}

bool DialogWindow::PressDefaultButton() {
  auto* focused = qobject_cast<QPushButton*>(focusWidget());
  if (focused && focused->isVisible()) {
    if (focused->isEnabled()) focused->click();
    return true;
  }
  QPushButton* button = DefaultButtonNearFocus();
  if (!button) return false;
  if (button->isEnabled()) button->click();
  return true;
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
