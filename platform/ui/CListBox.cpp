#include "CListBox.h"

#include <QListWidget>
#include <QSignalBlocker>

#include "CDialogBuilder.h"

namespace {

constexpr int kDataRole = Qt::UserRole;

}  // namespace

QListWidget* CListBox::List() const { return qobject_cast<QListWidget*>(m_widget); }

bool CListBox::ValidIndex(int index) const { return List() && index >= 0 && index < List()->count(); }

int CListBox::AddString(LPCSTR text) {
  QListWidget* list = List();
  if (!list) return LB_ERR;
  int at = list->count();
  if (ControlStyleOf(list) & LBS_SORT) {
    const QString value = QString::fromUtf8(text ? text : "");
    at = 0;
    while (at < list->count() && QString::compare(list->item(at)->text(), value, Qt::CaseInsensitive) <= 0) ++at;
  }
  return InsertString(at, text);
}

int CListBox::InsertString(int index, LPCSTR text) {
  QListWidget* list = List();
  if (!list || index > list->count()) return LB_ERR;
  const int at = index < 0 ? list->count() : index;
  const QSignalBlocker quiet(list);
  list->insertItem(at, QString::fromUtf8(text ? text : ""));
  return at;
}

int CListBox::DeleteString(int index) {
  if (!ValidIndex(index)) return LB_ERR;
  const QSignalBlocker quiet(List());
  delete List()->takeItem(index);
  return List()->count();
}

void CListBox::ResetContent() {
  if (!List()) return;
  const QSignalBlocker quiet(List());
  List()->clear();
}

int CListBox::GetCount() const { return List() ? List()->count() : LB_ERR; }

int CListBox::GetCurSel() const {
  if (!List()) return LB_ERR;
  const QList<QListWidgetItem*> selected = List()->selectedItems();
  return selected.isEmpty() ? LB_ERR : List()->row(selected.first());
}

int CListBox::SetCurSel(int index) {
  QListWidget* list = List();
  if (!list) return LB_ERR;
  const QSignalBlocker quiet(list);
  if (!ValidIndex(index)) {
    list->clearSelection();
    list->setCurrentRow(-1);
    return index == -1 ? LB_OKAY : LB_ERR;
  }
  list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  list->scrollToItem(list->item(index));
  return index;
}

int CListBox::GetText(int index, CString& text) const {
  if (!ValidIndex(index)) return LB_ERR;
  text = CString(List()->item(index)->text().toStdString());
  return text.GetLength();
}

int CListBox::GetTextLen(int index) const {
  CString text;
  return GetText(index, text);
}

DWORD_PTR CListBox::GetItemData(int index) const {
  if (!ValidIndex(index)) return static_cast<DWORD_PTR>(LB_ERR);
  return static_cast<DWORD_PTR>(List()->item(index)->data(kDataRole).toULongLong());
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
  if (!ValidIndex(index)) return LB_ERR;
  List()->item(index)->setData(kDataRole, QVariant::fromValue<qulonglong>(data));
  return LB_OKAY;
}

int CListBox::FindStringExact(int startAfter, LPCSTR text) const {
  QListWidget* list = List();
  if (!list || !text) return LB_ERR;
  const QString value = QString::fromUtf8(text);
  const int count = list->count();
  for (int step = 1; step <= count; ++step) {
    const int at = (startAfter + step + count) % count;
    if (QString::compare(list->item(at)->text(), value, Qt::CaseInsensitive) == 0) return at;
  }
  return LB_ERR;
}
