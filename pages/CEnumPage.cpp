#include "CEnumPage.h"

#include <cstdint>
#include <cstdlib>
#include <string>

#include "AddProperty.h"
#include "AppTitle.h"
#include "CBind.h"
#include "CDataExchange.h"
#include "CEnumDialog.h"
#include "ConnectionConvention.h"
#include "DDX_ListViewText.h"
#include "OleDbErrors.h"
#include "ReleasePropertySet.h"
#include "ResourceIds.h"
#include "RowBatchReader.h"
#include "msdaguid.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr DBLENGTH kTextLength = 256;
constexpr DBPART kAllParts = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;
constexpr int kSourcesMaxChars = 40;

// Sources rowset ordinals.
constexpr DBORDINAL kNameColumn = 1;
constexpr DBORDINAL kParseNameColumn = 2;
constexpr DBORDINAL kDescriptionColumn = 3;
constexpr DBORDINAL kTypeColumn = 4;

// List columns.
constexpr int kNameItem = 0;
constexpr int kDescriptionItem = 1;
constexpr int kTypeItem = 2;
constexpr int kClsidItem = 3;

VARIANT PromptValue() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I2;
  v.iVal = DBPROMPT_COMPLETE;
  return v;
}

// Handles are pointer-sized here; a 4-byte value would cut them.
VARIANT WindowValue(HWND window) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I8;
  v.llVal = static_cast<LONGLONG>(reinterpret_cast<intptr_t>(window));
  return v;
}

// The provider's own prompt asks for what is missing, owned by `window`.
DBPROPSET PromptProperties(HWND window) {
  DBPROPSET set{};
  set.guidPropertySet = DBPROPSET_DBINIT;
  AddProperty(set, DBPROP_INIT_PROMPT, DBPROPOPTIONS_REQUIRED, PromptValue());
  AddProperty(set, DBPROP_INIT_HWND, DBPROPOPTIONS_REQUIRED, WindowValue(window));
  return set;
}

struct OwnedPropertySet {
  DBPROPSET set;
  ~OwnedPropertySet() { ReleasePropertySet(set); }
};

}  // namespace

CEnumPage::CEnumPage() : CPropertyPage(IDD_ENUMERATOR) {
  m_psp.dwFlags &= ~PSP_HASHELP;
  OnBnClicked(IDC_ENUM_CONNECT, &CEnumPage::OnConnect);
}

void CEnumPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_ENUM_LIST, m_list);
  DDX_ListViewText(pDX, IDC_ENUM_LIST, m_strName);
}

LRESULT CEnumPage::OnQuerySiblings(WPARAM, LPARAM) { return 0; }

// ---- the list ------------------------------------------------------------------

BOOL CEnumPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  IRowset* rowset = nullptr;
  if (FAILED(OpenSourcesRowset(&rowset))) return FALSE;
  m_list.InsertColumn(kNameItem, "Name", LVCFMT_LEFT, 150);
  m_list.InsertColumn(kDescriptionItem, "Description", LVCFMT_LEFT, 240, kDescriptionItem);
  m_list.InsertColumn(kTypeItem, "Type", LVCFMT_LEFT, 60, kTypeItem);
  m_list.InsertColumn(kClsidItem, "CLSID", LVCFMT_LEFT, 240, kClsidItem);
  FillList(rowset);
  rowset->Release();
  m_list.SetNotifyHandler(LVN_ITEMCHANGED, [this](NMHDR* header, LRESULT* result) {
    OnItemChangedList(header, result);
    return FALSE;
  });
  return TRUE;
}

HRESULT CEnumPage::OpenSourcesRowset(IRowset** rowset) {
  IUnknown* root = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_OLEDB_ENUMERATOR, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                reinterpret_cast<void**>(&root));
  if (FAILED(hr)) {
    MessageBox("Could not create root enumerator", nullptr, MB_ICONERROR);
    return hr;
  }
  ISourcesRowset* sources = nullptr;
  hr = root->QueryInterface(IID_ISourcesRowset, reinterpret_cast<void**>(&sources));
  if (FAILED(hr)) {
    ShowOleDbErrors(root, IID_IUnknown, GetSafeHwnd(), TRUE);
    return hr;
  }
  root->Release();
  hr = sources->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(rowset));
  if (FAILED(hr)) {
    *rowset = nullptr;
    ShowOleDbErrors(sources, IID_ISourcesRowset, GetSafeHwnd(), TRUE);
    return hr;
  }
  sources->Release();
  return hr;
}

void CEnumPage::FillList(IRowset* rowset) {
  char name[kTextLength] = "";
  char description[kTextLength] = "";
  char type[kTextLength] = "";
  char parseName[kTextLength] = "";
  CBind bind;
  bind.AddBinding(kNameColumn, name, kTextLength, kAllParts);
  bind.AddBinding(kDescriptionColumn, description, kTextLength, kAllParts);
  bind.AddBinding(kTypeColumn, type, kTextLength, kAllParts);
  bind.AddBinding(kParseNameColumn, parseName, kTextLength, kAllParts);
  bind.CreateAccessor(rowset);

  char* const texts[] = {name, description, type, parseName};
  int row = 0;
  RowBatchReader reader(rowset);
  reader.ReadAll([&](const HROW* rows, DBCOUNTITEM count) {
    for (DBCOUNTITEM i = 0; i < count; ++i, ++row) {
      bind.GetData(rowset, rows[i]);
      LVITEM item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.cchTextMax = kTextLength;
      item.pszText = texts[0];
      m_list.InsertItem(&item);
      for (int column = kDescriptionItem; column <= kClsidItem; ++column) {
        item.iSubItem = column;
        item.pszText = texts[column];
        m_list.SetItem(&item);
      }
    }
  });
}

// ---- choosing ------------------------------------------------------------------

int CEnumPage::SelectedItem() { return m_list.HasWindow() ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1; }

// The decimal number the provider gave as text; no digits read as 0.
int CEnumPage::SourceTypeOf(int item) { return std::atoi(m_list.GetItemText(item, kTypeItem).c_str()); }

// The parse name of a provider or enumerator is its class identifier; any
// other text names no class.
CLSID CEnumPage::ClassOf(int item) {
  const std::u16string text = AnsiToOle(m_list.GetItemText(item, kClsidItem).str());
  CLSID clsid{};
  if (FAILED(CLSIDFromString(text.c_str(), &clsid))) clsid = CLSID{};
  return clsid;
}

void CEnumPage::OnItemChangedList(NMHDR*, LRESULT* result) {
  *result = 0;
  const int item = SelectedItem();
  if (item < 0) return;
  const bool enumerator = SourceTypeOf(item) == static_cast<int>(DBSOURCETYPE_ENUMERATOR);
  SetDlgItemText(IDC_ENUM_CONNECT, enumerator ? "&Enumerate" : "C&onnect");
}

void CEnumPage::OnConnect() {
  const int item = SelectedItem();
  if (item < 0) return;
  if (SourceTypeOf(item) == static_cast<int>(DBSOURCETYPE_ENUMERATOR))
    OpenEnumerator(item);
  else
    ConnectToProvider(item);
}

// An enumerator that cannot be created or gives no sources shows nothing.
void CEnumPage::OpenEnumerator(int item) {
  IUnknown* enumerator = nullptr;
  if (FAILED(CoCreateInstance(ClassOf(item), nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&enumerator))))
    return;
  ISourcesRowset* sources = nullptr;
  HRESULT hr = enumerator->QueryInterface(IID_ISourcesRowset, reinterpret_cast<void**>(&sources));
  enumerator->Release();
  if (FAILED(hr)) return;
  IRowset* rowset = nullptr;
  hr = sources->GetSourcesRowset(nullptr, IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  sources->Release();
  if (FAILED(hr) || !rowset) return;
  const CString description = m_list.GetItemText(item, kDescriptionItem);
  CEnumDialog viewer(rowset, description, kSourcesMaxChars, nullptr);
  viewer.DoModal();
}

void CEnumPage::ConnectToProvider(int item) {
  m_pSheet = SheetOfPage(*this);
  if (!m_pSheet) return;
  if (m_pSheet->m_pDataSource && !ConfirmCloseConnection(*this)) return;
  IDBProperties* properties = nullptr;
  if (FAILED(CoCreateInstance(ClassOf(item), nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                              reinterpret_cast<void**>(&properties)))) {
    MessageBox("Could not create object", m_list.GetItemText(item, kNameItem), MB_ICONERROR);
    return;
  }
  IDBInitialize* dataSource = nullptr;
  if (SUCCEEDED(InitializeWithPrompt(properties, &dataSource))) MakeCurrent(dataSource, item);
}

// Takes over the caller's reference to `properties`. A cancelled prompt
// is the user's choice and shows nothing; any other failure shows the
// provider's records. The sheet is not touched.
HRESULT CEnumPage::InitializeWithPrompt(IDBProperties* properties, IDBInitialize** dataSource) {
  OwnedPropertySet prompt{PromptProperties(GetSafeHwnd())};
  HRESULT hr = properties->SetProperties(1, &prompt.set);
  if (FAILED(hr)) {
    ShowOleDbErrors(properties, IID_IDBProperties, GetSafeHwnd(), TRUE);
    return hr;
  }
  hr = properties->QueryInterface(IID_IDBInitialize, reinterpret_cast<void**>(dataSource));
  if (FAILED(hr)) {
    *dataSource = nullptr;
    ShowOleDbErrors(properties, IID_IDBProperties, GetSafeHwnd(), TRUE);
    return hr;
  }
  properties->Release();
  hr = (*dataSource)->Initialize();
  if (FAILED(hr)) {
    if (hr == DB_E_CANCELED)
      (*dataSource)->Release();
    else
      ShowOleDbErrors(*dataSource, IID_IDBInitialize, GetSafeHwnd(), TRUE);
    *dataSource = nullptr;
  }
  return hr;
}

// Takes over the reference: the sheet owns the new data source, and every
// page drops what it held of the previous one.
void CEnumPage::MakeCurrent(IDBInitialize* dataSource, int item) {
  m_pSheet->ReleaseDataSource();
  QuerySiblings(0, 0);
  m_pSheet->m_pDataSource = dataSource;
  const CString title = CString(kAppTitle) + " - " + m_list.GetItemText(item, kDescriptionItem);
  m_pSheet->SetTitle(title, 0);
}
