#include "CCommandPage.h"

#include "CDataExchange.h"
#include "ConnectionConvention.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"

CCommandPage::CCommandPage() : CDataSourcePage(IDD_COMMAND_PROCESSOR) {}

CCommandPage::~CCommandPage() { ReleaseInterface(m_pCommandText); }

void CCommandPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_COMMAND_TEXT, m_strCommand);
}

BOOL CCommandPage::OnInitDialog() {
  const BOOL result = CDataSourcePage::OnInitDialog();
  // Execution is not available yet, so there is nothing to connect for.
  EnableWindow(IDC_COMMAND_CONNECT, FALSE);
  return result;
}

// Until commands can run the page only follows its sheet.
BOOL CCommandPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  return result;
}

HRESULT CCommandPage::AttachDataSource(IDBInitialize*) { return E_NOTIMPL; }

void CCommandPage::ShowAttachFailure() { MessageBox("Could not get command object", nullptr, MB_ICONINFORMATION); }

LRESULT CCommandPage::OnQuerySiblings(WPARAM, LPARAM) {
  ReleaseInterface(m_pCommandText);
  EnableWindow(IDC_EXECUTE, FALSE);
  return 0;
}
