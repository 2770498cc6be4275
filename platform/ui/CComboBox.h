// A combo box. Changes made through this object raise no selection
// notification; only the user's own choices do.
#pragma once

#include "CWnd.h"

class QComboBox;

class CComboBox : public CWnd {
 public:
  int AddString(LPCSTR text);
  int InsertString(int index, LPCSTR text);  // -1 appends
  int DeleteString(int index);  // items left, or CB_ERR
  void ResetContent();
  int GetCount() const;
  int GetCurSel() const;  // CB_ERR when nothing is selected
  int SetCurSel(int index);  // -1 clears; CB_ERR for a bad index
  int GetLBText(int index, CString& text) const;
  DWORD_PTR GetItemData(int index) const;
  int SetItemData(int index, DWORD_PTR data);

 private:
  QComboBox* Combo() const;
  bool ValidIndex(int index) const;
};
