#include "CDataSourcePage.h"

#include "ConnectionConvention.h"

CDataSourcePage::CDataSourcePage(UINT templateId) : CPropertyPage(templateId) { m_psp.dwFlags &= ~PSP_HASHELP; }

BOOL CDataSourcePage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  if (m_pSheet && !IsConnected() && m_pSheet->m_pDataSource) Attach(m_pSheet->m_pDataSource);
  return result;
}

void CDataSourcePage::ConnectThroughSheet() {
  if (!m_pSheet) m_pSheet = SheetOfPage(*this);
  if (!m_pSheet) return;
  if (IsConnected() && !ConfirmCloseConnection(*this)) return;
  QuerySiblings(0, 0);
  IDBInitialize* dataSource = nullptr;
  const HRESULT hr = m_pSheet->ConnectThroughDataLinks(&dataSource, TRUE);
  if (FAILED(hr)) {
    ReportConnectFailure(*this, hr);
    return;
  }
  Attach(dataSource);
}

void CDataSourcePage::Attach(IDBInitialize* dataSource) {
  if (FAILED(AttachDataSource(dataSource))) ShowAttachFailure();
}
