#include "SViewerPage.h"

#include "CDataExchange.h"
#include "ConnectionConvention.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "objbase.h"
#include "oleauto.h"

SViewerPage::SViewerPage() : CDataSourcePage(IDD_SCHEMA_VIEWER) {}

SViewerPage::~SViewerPage() { ReleaseConnection(); }

void SViewerPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_RESTRICTION_LIST, m_lbRestrictions);
  DDX_Control(pDX, IDC_SCHEMA_LIST, m_lbSchemas);
  DDX_LBIndex(pDX, IDC_SCHEMA_LIST, m_nSchema);
  DDX_LBIndex(pDX, IDC_RESTRICTION_LIST, m_nRestriction);
  DDX_Text(pDX, IDC_RESTRICTION_VALUE, m_strValue);
}

void SViewerPage::FreeRestrictions() {
  for (ULONG i = 0; i < m_cRestrictions; ++i) VariantClear(&m_rgRestrictions[i]);
  delete[] m_rgRestrictions;
  m_rgRestrictions = nullptr;
  m_cRestrictions = 0;
}

void SViewerPage::ReleaseConnection() {
  ReleaseInterface(m_pColumnsInfo);
  ReleaseInterface(m_pSchemaRowset);
  CoTaskMemFree(m_rgRestrictionSupport);
  m_rgRestrictionSupport = nullptr;
  CoTaskMemFree(m_rgSchemas);
  m_rgSchemas = nullptr;
  FreeRestrictions();
}

BOOL SViewerPage::OnInitDialog() {
  const BOOL result = CDataSourcePage::OnInitDialog();
  // Fetching schemas is not available yet, so there is nothing to connect for.
  EnableWindow(IDC_SCHEMA_CONNECT, FALSE);
  return result;
}

// Until schemas can be listed the page only follows its sheet.
BOOL SViewerPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  return result;
}

HRESULT SViewerPage::AttachDataSource(IDBInitialize*) { return E_NOTIMPL; }

void SViewerPage::ShowAttachFailure() { MessageBox("Could not get schemas", nullptr, MB_ICONERROR); }

LRESULT SViewerPage::OnQuerySiblings(WPARAM, LPARAM) {
  ReleaseConnection();
  if (m_lbSchemas.HasWindow()) m_lbSchemas.ResetContent();
  if (m_lbRestrictions.HasWindow()) m_lbRestrictions.ResetContent();
  m_nSchema = -1;
  m_nRestriction = -1;
  EnableWindow(IDC_GET_SCHEMA, FALSE);
  EnableWindow(IDC_SET_VALUE, FALSE);
  return 0;
}
