#include "SViewerPage.h"

#include "CDataExchange.h"
#include "CEnumDialog.h"
#include "CWaitCursor.h"
#include "OleDbErrors.h"
#include "OpenSchemaSession.h"
#include "ReleaseInterface.h"
#include "ResourceIds.h"
#include "SchemaNames.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kViewerColumnChars = 20;
constexpr ULONG kSupportBits = 32;

// A restriction is named by its standard name; a schema the table does not
// know (or a restriction past its standard ones) by the column it matches.
CString RestrictionLabel(REFGUID schema, ULONG ordinal, LPCOLESTR columnName) {
  if (const char* name = GetRestrictionName(schema, ordinal)) return name;
  return OleToAnsi(columnName ? columnName : u"");
}

}  // namespace

SViewerPage::SViewerPage() : CDataSourcePage(IDD_SCHEMA_VIEWER) {
  OnBnClicked(IDC_GET_SCHEMA, &SViewerPage::OnGetSchema);
  OnBnClicked(IDC_SET_VALUE, &SViewerPage::OnSetValue);
  OnBnClicked(IDC_SCHEMA_CONNECT, &SViewerPage::OnConnect);
  OnLbnSelchange(IDC_SCHEMA_LIST, &SViewerPage::OnSelchangeSchemas);
  OnLbnSelchange(IDC_RESTRICTION_LIST, &SViewerPage::OnSelchangeRestrictions);
  OnLbnDblclk(IDC_SCHEMA_LIST, &SViewerPage::OnGetSchema);
  OnLbnDblclk(IDC_RESTRICTION_LIST, &SViewerPage::OnSetValue);
  OnEnChange(IDC_RESTRICTION_VALUE, &SViewerPage::OnChangeValue);
}

SViewerPage::~SViewerPage() { ReleaseConnection(); }

void SViewerPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_RESTRICTION_LIST, m_lbRestrictions);
  DDX_Control(pDX, IDC_SCHEMA_LIST, m_lbSchemas);
  DDX_LBIndex(pDX, IDC_SCHEMA_LIST, m_nSchema);
  DDX_LBIndex(pDX, IDC_RESTRICTION_LIST, m_nRestriction);
  DDX_Text(pDX, IDC_RESTRICTION_VALUE, m_strValue);
}

void SViewerPage::ShowAttachFailure() { MessageBox("Could not get schemas", nullptr, MB_ICONERROR); }

void SViewerPage::OnConnect() { ConnectThroughSheet(); }

// ---- holdings ------------------------------------------------------------------

void SViewerPage::FreeRestrictions() {
  for (ULONG i = 0; i < m_cRestrictions; ++i) VariantClear(&m_rgRestrictions[i]);
  delete[] m_rgRestrictions;
  m_rgRestrictions = nullptr;
  m_cRestrictions = 0;
}

void SViewerPage::AllocateRestrictions(ULONG count) {
  FreeRestrictions();
  if (count == 0) return;
  m_rgRestrictions = new VARIANT[count];
  m_cRestrictions = count;
  for (ULONG i = 0; i < count; ++i) VariantInit(&m_rgRestrictions[i]);
}

void SViewerPage::ClearRestrictionValues() {
  for (ULONG i = 0; i < m_cRestrictions; ++i) VariantClear(&m_rgRestrictions[i]);
}

bool SViewerPage::AnyRestrictionSet() const {
  for (ULONG i = 0; i < m_cRestrictions; ++i)
    if (m_rgRestrictions[i].vt != VT_EMPTY) return true;
  return false;
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

bool SViewerPage::IsListedSchema(int index) const {
  return m_rgSchemas && m_lbSchemas.HasWindow() && index >= 0 && index < m_lbSchemas.GetCount();
}

int SViewerPage::RestrictionOrdinal(int item) const {
  if (item < 0 || item >= m_lbRestrictions.GetCount()) return -1;
  const DWORD_PTR ordinal = m_lbRestrictions.GetItemData(item);
  return ordinal < m_cRestrictions ? static_cast<int>(ordinal) : -1;
}

LRESULT SViewerPage::OnQuerySiblings(WPARAM, LPARAM) {
  EnableWindow(IDC_GET_SCHEMA, FALSE);
  EnableWindow(IDC_SET_VALUE, FALSE);
  ReleaseConnection();
  m_nSchema = -1;
  m_nRestriction = -1;
  if (m_lbSchemas.HasWindow()) m_lbSchemas.ResetContent();
  if (m_lbRestrictions.HasWindow()) m_lbRestrictions.ResetContent();
  m_strValue.Empty();
  if (HasWindow()) UpdateData(FALSE);
  // Emptying the value edit raised its change notification.
  EnableWindow(IDC_SET_VALUE, FALSE);
  return 0;
}

// ---- listing -------------------------------------------------------------------

HRESULT SViewerPage::LoadSchemas(IDBInitialize* pDataSource) {
  if (!pDataSource) return E_INVALIDARG;
  ReleaseConnection();  // attaching is for a page that holds nothing; never leak a session
  HRESULT hr = OpenSchemaSession(pDataSource, GetSafeHwnd(), &m_pSchemaRowset);
  if (FAILED(hr)) return hr;

  ULONG cSchemas = 0;
  hr = m_pSchemaRowset->GetSchemas(&cSchemas, &m_rgSchemas, &m_rgRestrictionSupport);
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
    return hr;
  }
  if (!m_rgSchemas || !m_rgRestrictionSupport) cSchemas = 0;
  for (ULONG i = 0; i < cSchemas; ++i) {
    ULONG restrictions = 0;
    const int item = m_lbSchemas.AddString(GetSchemaName(&m_rgSchemas[i], &restrictions));
    m_lbSchemas.SetItemData(item, restrictions);
  }
  return hr;
}

// ---- opening a schema ----------------------------------------------------------

void SViewerPage::OnSelchangeSchemas() {
  CWaitCursor wait;
  EnableWindow(IDC_GET_SCHEMA, FALSE);
  EnableWindow(IDC_SET_VALUE, FALSE);
  m_lbRestrictions.ResetContent();
  UpdateData(TRUE);
  m_nRestriction = -1;
  FreeRestrictions();
  ReleaseInterface(m_pColumnsInfo);
  if (!IsListedSchema(m_nSchema) || FAILED(OpenSelectedSchema())) return;
  EnableWindow(IDC_GET_SCHEMA, TRUE);
}

HRESULT SViewerPage::OpenSelectedSchema() {
  HRESULT hr = m_pSchemaRowset->GetRowset(nullptr, m_rgSchemas[m_nSchema], 0, nullptr, IID_IColumnsInfo, 0,
                                          nullptr, reinterpret_cast<IUnknown**>(&m_pColumnsInfo));
  if (FAILED(hr) || !m_pColumnsInfo) {
    m_pColumnsInfo = nullptr;
    ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
    return FAILED(hr) ? hr : E_UNEXPECTED;
  }
  DBORDINAL cColumns = 0;
  DBCOLUMNINFO* rgInfo = nullptr;
  OLECHAR* pStrings = nullptr;
  hr = m_pColumnsInfo->GetColumnInfo(&cColumns, &rgInfo, &pStrings);
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pColumnsInfo, IID_IColumnsInfo, GetSafeHwnd(), TRUE);
    m_pColumnsInfo = nullptr;
    return hr;
  }
  AllocateRestrictions(ListRestrictions(rgInfo, rgInfo ? cColumns : 0));
  CoTaskMemFree(rgInfo);
  CoTaskMemFree(pStrings);
  return hr;
}

// Restriction j is the j-th column after any bookmark; only those the
// provider supports are listed.
ULONG SViewerPage::ListRestrictions(const DBCOLUMNINFO* columns, DBORDINAL count) {
  const ULONG support = m_rgRestrictionSupport[m_nSchema];
  const GUID& schema = m_rgSchemas[m_nSchema];
  ULONG ordinal = 0;
  ULONG needed = 0;
  for (DBORDINAL c = 0; c < count && ordinal < kSupportBits; ++c) {
    if (columns[c].iOrdinal == 0) continue;  // the bookmark column
    if (support & (1u << ordinal)) {
      const int item = m_lbRestrictions.AddString(RestrictionLabel(schema, ordinal, columns[c].pwszName));
      m_lbRestrictions.SetItemData(item, ordinal);
      needed = ordinal + 1;
    }
    ++ordinal;
  }
  return needed;
}

// ---- restriction values --------------------------------------------------------

void SViewerPage::OnSelchangeRestrictions() {
  UpdateData(TRUE);
  const int ordinal = RestrictionOrdinal(m_nRestriction);
  const VARIANT* value = ordinal >= 0 ? &m_rgRestrictions[ordinal] : nullptr;
  if (value && value->vt == VT_BSTR)
    m_strValue = OleToAnsi(value->bstrVal ? value->bstrVal : u"");
  else
    m_strValue.Empty();
  UpdateData(FALSE);
  EnableWindow(IDC_SET_VALUE, FALSE);
}

void SViewerPage::OnChangeValue() { EnableWindow(IDC_SET_VALUE, TRUE); }

void SViewerPage::OnSetValue() {
  UpdateData(TRUE);
  const int ordinal = RestrictionOrdinal(m_nRestriction);
  if (ordinal < 0) return;
  const std::u16string text = AnsiToOle(m_strValue.str());
  BSTR value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!value) return;
  VARIANT& restriction = m_rgRestrictions[ordinal];
  VariantClear(&restriction);
  restriction.vt = VT_BSTR;
  restriction.bstrVal = value;
  GotoDlgCtrl(ControlById(IDC_GET_SCHEMA));
  EnableWindow(IDC_SET_VALUE, FALSE);
}

// ---- fetching ------------------------------------------------------------------

void SViewerPage::OnGetSchema() {
  UpdateData(TRUE);
  if (!IsListedSchema(m_nSchema) || !m_pColumnsInfo) return;
  IRowset* rowset = nullptr;
  if (AnyRestrictionSet()) {
    const HRESULT hr =
        m_pSchemaRowset->GetRowset(nullptr, m_rgSchemas[m_nSchema], m_cRestrictions, m_rgRestrictions,
                                   IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(&rowset));
    ClearRestrictionValues();  // each fetch consumes the values set for it
    if (FAILED(hr)) {
      ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
      return;
    }
  } else if (FAILED(m_pColumnsInfo->QueryInterface(IID_IRowset, reinterpret_cast<void**>(&rowset)))) {
    ShowOleDbErrors(m_pColumnsInfo, IID_IColumnsInfo, GetSafeHwnd(), FALSE);
    return;
  }
  ShowRowset(rowset);
  m_strValue.Empty();
  UpdateData(FALSE);
  // Emptying the value edit is no value typed.
  EnableWindow(IDC_SET_VALUE, FALSE);
}

void SViewerPage::ShowRowset(IRowset* rowset) {
  if (!rowset) return;
  CEnumDialog viewer(rowset, "Rowset Viewer", kViewerColumnChars);
  viewer.DoModal();
}
