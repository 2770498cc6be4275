#include "CPropPage.h"

#include "CDataExchange.h"
#include "CPropertySetArray.h"
#include "OleDbErrors.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "PropSetNames.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

// The value as the platform's Automation conversion writes it, with no
// flags; empty when it has no text form.
CString ValueText(const VARIANT& value) {
  VARIANT text;
  VariantInit(&text);
  CString result;
  if (SUCCEEDED(VariantChangeType(&text, &value, 0, VT_BSTR)) && text.vt == VT_BSTR)
    result = OleToAnsi(text.bstrVal ? text.bstrVal : u"");
  VariantClear(&text);
  return result;
}

}  // namespace

CPropPage::CPropPage() : CDataSourcePage(IDD_PROPERTIES_BROWSER) {
  OnLbnSelchange(IDC_PROPSET_LIST, &CPropPage::OnSelchangePropSets);
  OnLbnSelchange(IDC_PROPERTY_LIST, &CPropPage::OnSelchangeProperties);
  OnBnClicked(IDC_PROPS_CONNECT, &CPropPage::OnConnect);
}

CPropPage::~CPropPage() { ReleaseConnection(); }

void CPropPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROPERTY_LIST, m_lbProperties);
  DDX_Control(pDX, IDC_PROPSET_LIST, m_lbPropSets);
  DDX_LBIndex(pDX, IDC_PROPSET_LIST, m_nPropSet);
  DDX_LBIndex(pDX, IDC_PROPERTY_LIST, m_nProperty);
}

void CPropPage::ShowAttachFailure() { MessageBox("Could not retrieve properties", nullptr, MB_ICONERROR); }

void CPropPage::OnConnect() { ConnectThroughSheet(); }

void CPropPage::ReleaseConnection() {
  m_rgPropInfoSets.Reset();
  ReleaseInterface(m_pProperties);
}

void CPropPage::SetValueText(LPCSTR text) {
  if (HasWindow()) SetDlgItemText(IDC_PROPERTY_VALUE, text);
}

LRESULT CPropPage::OnQuerySiblings(WPARAM, LPARAM) {
  if (m_lbPropSets.HasWindow()) m_lbPropSets.ResetContent();
  if (m_lbProperties.HasWindow()) m_lbProperties.ResetContent();
  SetValueText("");
  ReleaseConnection();
  m_nPropSet = -1;
  m_nProperty = -1;
  return 0;
}

HRESULT CPropPage::LoadProperties(IDBInitialize* pDataSource) {
  if (!pDataSource) return E_INVALIDARG;
  ReleaseConnection();  // attaching is for a page that holds nothing
  HRESULT hr = pDataSource->QueryInterface(IID_IDBProperties, reinterpret_cast<void**>(&m_pProperties));
  if (FAILED(hr)) {
    m_pProperties = nullptr;
    ShowOleDbErrors(pDataSource, IID_IDBInitialize, GetSafeHwnd(), FALSE);
    return hr;
  }
  hr = m_pProperties->GetPropertyInfo(0, nullptr, m_rgPropInfoSets.CountOut(), m_rgPropInfoSets.SetsOut(),
                                      m_rgPropInfoSets.DescriptionsOut());
  if (FAILED(hr)) {
    m_rgPropInfoSets.Reset();
    return hr;
  }
  for (const DBPROPINFOSET& set : m_rgPropInfoSets) m_lbPropSets.AddString(GetPropSetName(&set.guidPropertySet));
  return hr;
}

const DBPROPINFOSET* CPropPage::SelectedSet() const {
  if (m_nPropSet < 0 || static_cast<ULONG>(m_nPropSet) >= m_rgPropInfoSets.Count()) return nullptr;
  return &m_rgPropInfoSets[static_cast<ULONG>(m_nPropSet)];
}

void CPropPage::OnSelchangePropSets() {
  UpdateData(TRUE);
  m_lbProperties.ResetContent();
  m_nProperty = -1;
  SetValueText("");
  const DBPROPINFOSET* set = SelectedSet();
  if (!set || !set->rgPropertyInfos) return;
  for (ULONG i = 0; i < set->cPropertyInfos; ++i) {
    const LPCOLESTR description = set->rgPropertyInfos[i].pwszDescription;
    m_lbProperties.AddString(OleToAnsi(description ? description : u"").c_str());
  }
}

// Asks the provider for the one property's current value each time. A
// property in error still comes back in its set (DB_E_ERRORSOCCURRED), so
// the sets are read and every one of them freed whatever the status.
void CPropPage::OnSelchangeProperties() {
  UpdateData(TRUE);
  SetValueText("");
  const DBPROPINFOSET* set = SelectedSet();
  if (!m_pProperties || !set || !set->rgPropertyInfos || m_nProperty < 0 ||
      static_cast<ULONG>(m_nProperty) >= set->cPropertyInfos)
    return;
  DBPROPID id = set->rgPropertyInfos[m_nProperty].dwPropertyID;
  DBPROPIDSET idSet{&id, 1, set->guidPropertySet};
  CPropertySetArray values;
  const HRESULT hr = m_pProperties->GetProperties(1, &idSet, values.CountOut(), values.SetsOut());
  if (FAILED(hr) && hr != DB_E_ERRORSOCCURRED) return;
  if (values.Count() == 0 || values[0].cProperties == 0 || !values[0].rgProperties) return;
  // A property in error has no value, whatever the provider left in it.
  const DBPROP& property = values[0].rgProperties[0];
  if (property.dwStatus == DBPROPSTATUS_OK) SetValueText(ValueText(property.vValue).c_str());
}
