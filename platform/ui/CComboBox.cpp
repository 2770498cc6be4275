#include "CComboBox.h"

#include <QComboBox>
#include <QSignalBlocker>

#include "CDialogBuilder.h"

QComboBox* CComboBox::Combo() const { return qobject_cast<QComboBox*>(m_widget); }

bool CComboBox::ValidIndex(int index) const { return Combo() && index >= 0 && index < Combo()->count(); }

int CComboBox::AddString(LPCSTR text) {
  QComboBox* combo = Combo();
  if (!combo) return CB_ERR;
  int at = combo->count();
  if (ControlStyleOf(combo) & CBS_SORT) {
    const QString value = QString::fromUtf8(text ? text : "");
    at = 0;
    while (at < combo->count() && QString::compare(combo->itemText(at), value, Qt::CaseInsensitive) <= 0) ++at;
  }
  return InsertString(at, text);
}

int CComboBox::InsertString(int index, LPCSTR text) {
  QComboBox* combo = Combo();
  if (!combo || index > combo->count()) return CB_ERR;
  const int at = index < 0 ? combo->count() : index;
  const QSignalBlocker quiet(combo);
  const bool wasEmpty = combo->count() == 0;
  combo->insertItem(at, QString::fromUtf8(text ? text : ""));
  if (wasEmpty) combo->setCurrentIndex(-1);  // adding items selects nothing
  return at;
}

int CComboBox::DeleteString(int index) {
  if (!ValidIndex(index)) return CB_ERR;
  const QSignalBlocker quiet(Combo());
  Combo()->removeItem(index);
  return Combo()->count();
}

void CComboBox::ResetContent() {
  if (!Combo()) return;
  const QSignalBlocker quiet(Combo());
  Combo()->clear();
}

int CComboBox::GetCount() const { return Combo() ? Combo()->count() : CB_ERR; }

int CComboBox::GetCurSel() const { return Combo() && Combo()->currentIndex() >= 0 ? Combo()->currentIndex() : CB_ERR; }

int CComboBox::SetCurSel(int index) {
  if (!Combo()) return CB_ERR;
  const QSignalBlocker quiet(Combo());
  if (!ValidIndex(index)) {
    Combo()->setCurrentIndex(-1);
    return index == -1 ? CB_OKAY : CB_ERR;
  }
  Combo()->setCurrentIndex(index);
  return index;
}

int CComboBox::GetLBText(int index, CString& text) const {
  if (!ValidIndex(index)) return CB_ERR;
  text = CString(Combo()->itemText(index).toStdString());
  return text.GetLength();
}

DWORD_PTR CComboBox::GetItemData(int index) const {
  if (!ValidIndex(index)) return static_cast<DWORD_PTR>(CB_ERR);
  return static_cast<DWORD_PTR>(Combo()->itemData(index).toULongLong());
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
  if (!ValidIndex(index)) return CB_ERR;
  Combo()->setItemData(index, QVariant::fromValue<qulonglong>(data));
  return CB_OKAY;
}
