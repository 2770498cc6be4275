// A single-selection list box. Changes made through this object raise no
// selection notification; only the user's own changes do.
#pragma once

#include "CWnd.h"

class QListWidget;

class CListBox : public CWnd {
 public:
  int AddString(LPCSTR text);  // index of the new item (sorted lists insert in order)
  int InsertString(int index, LPCSTR text);  // -1 appends
  int DeleteString(int index);  // items left, or LB_ERR
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;  // LB_ERR when nothing is selected
  int SetCurSel(int index);  // -1 clears; LB_ERR for a bad index
  int GetText(int index, CString& text) const;  // length, or LB_ERR
  int GetTextLen(int index) const;
  DWORD_PTR GetItemData(int index) const;  // LB_ERR for a bad index
  int SetItemData(int index, DWORD_PTR data);
  // Case-insensitive whole-text search after item `startAfter` (-1: from the top).
  int FindStringExact(int startAfter, LPCSTR text) const;

 private:
  QListWidget* List() const;
  bool ValidIndex(int index) const;
};
