#include "CDataSourcePage.h"

#include "ConnectionConvention.h"

CDataSourcePage::CDataSourcePage(UINT templateId) : CPropertyPage(templateId) { m_psp.dwFlags &= ~PSP_HASHELP; }

BOOL CDataSourcePage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  PickUpSheetDataSource();
  return result;
}

bool CDataSourcePage::PickUpSheetDataSource() {
  m_pSheet = SheetOfPage(*this);
  if (m_pSheet && !IsConnected() && m_pSheet->m_pDataSource) return Attach(m_pSheet->m_pDataSource);
  return true;
}

bool CDataSourcePage::ConnectThroughSheet() {
  if (!m_pSheet) m_pSheet = SheetOfPage(*this);
  if (!m_pSheet) return false;
  if (IsConnected() && !ConfirmCloseConnection(*this)) return false;
  QuerySiblings(0, 0);
  IDBInitialize* dataSource = nullptr;
  const HRESULT hr = m_pSheet->ConnectThroughDataLinks(&dataSource, TRUE);
  if (FAILED(hr)) {
    ReportConnectFailure(*this, hr);
    return false;
  }
  return Attach(dataSource);
}

bool CDataSourcePage::Attach(IDBInitialize* dataSource) {
  if (SUCCEEDED(AttachDataSource(dataSource))) return true;
  ShowAttachFailure();
  return false;
}
