#include "DDX_ListViewText.h"

#include <vector>

#include "CListCtrl.h"

namespace {

// A character of UTF-8 text is at most 4 bytes, so a read that stopped
// short of a character it could not hold whole is at least this full.
constexpr int kLongestCharacter = 4;

void SaveSelection(CListCtrl& list, CString& value) {
  const int item = list.GetNextItem(-1, LVNI_SELECTED);
  if (item < 0) {
    value.Empty();
    return;
  }
  std::vector<char> buffer;
  int size = 32;
  for (;;) {
    buffer.assign(static_cast<size_t>(size), '\0');
    const int length = list.GetItemText(item, 0, buffer.data(), size);
    if (length < size - kLongestCharacter) break;
    size *= 2;
  }
  value = buffer.data();
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
