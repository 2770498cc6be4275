#include "CAboutPage.h"

#include "ResourceIds.h"
#include "ShellServices.h"
#include "UpdateAddress.h"

CAboutPage::CAboutPage() : CPropertyPage(IDD_ABOUTBOX) {
  m_psp.dwFlags &= ~PSP_HASHELP;
  OnBnClicked(IDC_UPDATE_LINK, &CAboutPage::OnUpdateLink);
}

void CAboutPage::OnUpdateLink() {
  // Nothing is shown when the browser cannot be started.
  ShellExecuteA(GetSafeHwnd(), nullptr, kUpdatePageAddress, nullptr, nullptr, SW_SHOWMAXIMIZED);
}
