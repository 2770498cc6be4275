// A push button, check box or radio button.
#pragma once

#include "CWnd.h"

class CButton : public CWnd {
 public:
  int GetCheck() const;  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
  void SetCheck(int check);
  // Clicks the button as the user would, notifications included.
  void Click();
};
