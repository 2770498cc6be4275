#include "CPropertyPage.h"

#include "CPropertySheet.h"

CPropertyPage::CPropertyPage(UINT templateId) : CDialog(templateId) {}

CPropertyPage::CPropertyPage(DialogTemplate dialogTemplate) : CDialog(std::move(dialogTemplate)) {}

CPropertyPage::~CPropertyPage() {
  if (m_sheet) m_sheet->ForgetPage(this);
}

BOOL CPropertyPage::OnSetActive() {
  if (m_firstSetActive)
    m_firstSetActive = false;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

LRESULT CPropertyPage::OnQuerySiblings(WPARAM, LPARAM) { return 0; }

LRESULT CPropertyPage::QuerySiblings(WPARAM wParam, LPARAM lParam) {
  return m_sheet ? m_sheet->QuerySiblings(wParam, lParam) : 0;
}

void CPropertyPage::SetModified(BOOL changed) {
  if (m_sheet) m_sheet->PageModified(this, changed != FALSE);
}

CString CPropertyPage::GetTitle() const {
  const DialogTemplate* source = GetTemplate();
  return source ? CString(source->caption) : CString();
}

void CPropertyPage::OnWindowGone() {
  CDialog::OnWindowGone();
  m_firstSetActive = true;
}
