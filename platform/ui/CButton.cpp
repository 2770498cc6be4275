#include "CButton.h"

#include <QAbstractButton>
#include <QCheckBox>

int CButton::GetCheck() const {
  if (auto* box = qobject_cast<QCheckBox*>(m_widget)) {
    switch (box->checkState()) {
      case Qt::Checked: return BST_CHECKED;
      case Qt::PartiallyChecked: return BST_INDETERMINATE;
      default: return BST_UNCHECKED;
    }
  }
  auto* button = qobject_cast<QAbstractButton*>(m_widget);
  return button && button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int check) {
  if (auto* box = qobject_cast<QCheckBox*>(m_widget)) {
    if (check == BST_INDETERMINATE) box->setTristate(true);
    box->setCheckState(check == BST_CHECKED ? Qt::Checked
                       : check == BST_INDETERMINATE ? Qt::PartiallyChecked
                                                    : Qt::Unchecked);
  } else if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) {
    if (button->isCheckable()) button->setChecked(check == BST_CHECKED);
  }
}

void CButton::Click() {
  if (auto* button = qobject_cast<QAbstractButton*>(m_widget)) button->click();
}
