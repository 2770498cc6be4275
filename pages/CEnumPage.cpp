#include "CEnumPage.h"

#include "ConnectionConvention.h"
#include "ResourceIds.h"

CEnumPage::CEnumPage() : CPropertyPage(IDD_ENUMERATOR) { m_psp.dwFlags &= ~PSP_HASHELP; }

BOOL CEnumPage::OnInitDialog() {
  const BOOL result = CPropertyPage::OnInitDialog();
  // Connecting from the list needs the listing, which this page cannot
  // show yet.
  EnableWindow(IDC_ENUM_CONNECT, FALSE);
  return result;
}

BOOL CEnumPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  return result;
}

LRESULT CEnumPage::OnQuerySiblings(WPARAM, LPARAM) { return 0; }
