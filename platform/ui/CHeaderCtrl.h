// The list's column header, as far as the application asks it.
#pragma once

#include "CWnd.h"

class CHeaderCtrl : public CWnd {
 public:
  int GetItemCount() const;  // -1 without a header widget
};
