#include "CPropPage.h"

#include "CDataExchange.h"
#include "ConnectionConvention.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "objbase.h"
#include "oleauto.h"

CPropPage::CPropPage() : CDataSourcePage(IDD_PROPERTIES_BROWSER) {}

CPropPage::~CPropPage() { ReleaseConnection(); }

void CPropPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROPERTY_LIST, m_lbProperties);
  DDX_Control(pDX, IDC_PROPSET_LIST, m_lbPropSets);
  DDX_LBIndex(pDX, IDC_PROPSET_LIST, m_nPropSet);
  DDX_LBIndex(pDX, IDC_PROPERTY_LIST, m_nProperty);
}

void CPropPage::ReleaseConnection() {
  ReleaseInterface(m_pProperties);
  for (ULONG s = 0; s < m_cPropInfoSets; ++s) {
    for (ULONG p = 0; p < m_rgPropInfoSets[s].cPropertyInfos; ++p)
      VariantClear(&m_rgPropInfoSets[s].rgPropertyInfos[p].vValues);
    CoTaskMemFree(m_rgPropInfoSets[s].rgPropertyInfos);
  }
  CoTaskMemFree(m_rgPropInfoSets);
  m_rgPropInfoSets = nullptr;
  m_cPropInfoSets = 0;
  CoTaskMemFree(m_pDescBuffer);
  m_pDescBuffer = nullptr;
}

BOOL CPropPage::OnInitDialog() {
  const BOOL result = CDataSourcePage::OnInitDialog();
  // Browsing is not available yet, so there is nothing to connect for.
  EnableWindow(IDC_PROPS_CONNECT, FALSE);
  return result;
}

// Until properties can be listed the page only follows its sheet.
BOOL CPropPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  return result;
}

HRESULT CPropPage::AttachDataSource(IDBInitialize*) { return E_NOTIMPL; }

void CPropPage::ShowAttachFailure() { MessageBox("Could not retrieve properties", nullptr, MB_ICONERROR); }

LRESULT CPropPage::OnQuerySiblings(WPARAM, LPARAM) {
  ReleaseConnection();
  if (m_lbPropSets.HasWindow()) m_lbPropSets.ResetContent();
  if (m_lbProperties.HasWindow()) m_lbProperties.ResetContent();
  m_nPropSet = -1;
  m_nProperty = -1;
  if (HasWindow()) SetDlgItemText(IDC_PROPERTY_VALUE, "");
  return 0;
}
