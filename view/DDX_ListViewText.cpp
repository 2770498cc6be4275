#include "DDX_ListViewText.h"

#include "CListCtrl.h"

namespace {

void SaveSelection(CListCtrl& list, CString& value) {
  const int item = list.GetNextItem(-1, LVNI_SELECTED);
  if (item < 0) {
    value.Empty();
    return;
  }
  value = list.GetItemText(item, 0);
}

void LoadSelection(CListCtrl& list, const CString& value) {
  const int selected = list.GetNextItem(-1, LVNI_SELECTED);
  if (selected >= 0) list.SetItemState(selected, 0, LVIS_SELECTED | LVIS_FOCUSED);
  LVFINDINFO find;
  find.flags = LVFI_STRING;
  find.psz = value.GetString();
  const int found = list.FindItem(&find, -1);
  if (found >= 0) list.SetItemState(found, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

}  // namespace

void DDX_ListViewText(CDataExchange* pDX, int id, CString& value) {
  QWidget* control = pDX->PrepareCtrl(id);
  // The control may have a list object of its own, or none yet.
  CListCtrl borrowed;
  auto* list = dynamic_cast<CListCtrl*>(CWnd::FromWidget(control));
  if (!list) {
    borrowed.Borrow(control);
    list = &borrowed;
  }
  if (pDX->m_bSaveAndValidate)
    SaveSelection(*list, value);
  else
    LoadSelection(*list, value);
  if (list == &borrowed) borrowed.Detach();
}
