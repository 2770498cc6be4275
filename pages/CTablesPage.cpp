#include "CTablesPage.h"

#include "ConnectionConvention.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"

CTablesPage::CTablesPage() : CConnectionPage(IDD_TABLE_ANALYZER) {}

CTablesPage::~CTablesPage() { ReleaseConnection(); }

void CTablesPage::ReleaseConnection() {
  ReleaseInterface(m_pOpenRowset);
  ReleaseInterface(m_pSchemaRowset);
}

BOOL CTablesPage::OnInitDialog() {
  const BOOL result = CConnectionPage::OnInitDialog();
  // The table listing is not available yet, so there is nothing to connect for.
  EnableWindow(IDC_TABLES_CONNECT, FALSE);
  return result;
}

// Until the listing exists the page only follows its sheet.
BOOL CTablesPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  return result;
}

HRESULT CTablesPage::AttachDataSource(IDBInitialize*) { return E_NOTIMPL; }

void CTablesPage::ShowAttachFailure() { MessageBox("Could not get properties", nullptr, MB_ICONINFORMATION); }

LRESULT CTablesPage::OnQuerySiblings(WPARAM, LPARAM) {
  ReleaseConnection();
  m_strTable.Empty();
  EnableWindow(IDC_TABLES_DATA, FALSE);
  EnableWindow(IDC_TABLES_SCHEMA, FALSE);
  return 0;
}
