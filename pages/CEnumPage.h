// The OLE DB Enumerator: what the root enumerator reports, providers to
// connect to and enumerators to open. The listing and its handlers are
// still to come; the page holds no connection of its own.
#pragma once

#include "CDataSourceSheet.h"
#include "CPropertyPage.h"
#include "CString.h"

class CEnumPage : public CPropertyPage {
 public:
  CEnumPage();

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  CDataSourceSheet* m_pSheet = nullptr;
  CString m_strName;  // the "Name" text of the selected row
};
