#include "DARizozezPage.h"

#include <string>

#include "CDataExchange.h"
#include "ConnectionConvention.h"
#include "DisplayCopy.h"
#include "OleDbErrors.h"
#include "ResourceIds.h"
#include "msdasc.h"
#include "objbase.h"
#include "stringapiset.h"

namespace {

constexpr const char kInitObjectMissing[] = "Data initialization object could not be created.";
constexpr const char kInitStringMissing[] = "Initialization string could not be retrieved.";

HRESULT CreateDataInitialize(IDataInitialize** dataInitialize) {
  return CoCreateInstance(CLSID_MSDAINITIALIZE, nullptr, CLSCTX_INPROC_SERVER, IID_IDataInitialize,
                          reinterpret_cast<void**>(dataInitialize));
}

}  // namespace

DARizozezPage::DARizozezPage() : CPropertyPage(IDD_CONNECTION_STRING) {
  m_psp.dwFlags &= ~PSP_HASHELP;
  OnBnClicked(IDC_BUILD, &DARizozezPage::OnBuild);
  OnBnClicked(IDC_CONNECT, &DARizozezPage::OnConnect);
  OnBnClicked(IDC_COPY, &DARizozezPage::OnCopy);
}

void DARizozezPage::DoDataExchange(CDataExchange* pDX) {
  CPropertyPage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_CONNECTION_STRING, m_editConnection);
  DDX_Text(pDX, IDC_CONNECTION_STRING, m_strConnection);
}

HRESULT DARizozezPage::GetInitString(IUnknown* dataSource) {
  IDataInitialize* dataInitialize = nullptr;
  HRESULT hr = CreateDataInitialize(&dataInitialize);
  if (FAILED(hr)) {
    MessageBox(kInitObjectMissing, nullptr, MB_OK);
    return hr;
  }
  LPOLESTR text = nullptr;
  hr = dataInitialize->GetInitializationString(dataSource, true, &text);
  dataInitialize->Release();
  if (SUCCEEDED(hr)) {
    m_strConnection = OleToAnsi(text ? text : u"");
    CoTaskMemFree(text);
    UpdateData(FALSE);
    EnableWindow(IDC_COPY, TRUE);
  }
  return hr;
}

void DARizozezPage::OnBuild() {
  IDBPromptInitialize* prompt = nullptr;
  HRESULT hr = CoCreateInstance(CLSID_DataLinks, nullptr, CLSCTX_INPROC_SERVER, IID_IDBPromptInitialize,
                                reinterpret_cast<void**>(&prompt));
  if (FAILED(hr)) {
    MessageBox("Data Links object could not be created", nullptr, MB_ICONERROR);
    return;
  }
  IUnknown* dataSource = nullptr;
  hr = prompt->PromptDataSource(nullptr, GetSafeHwnd(), DBPROMPTOPTIONS_WIZARDSHEET, 0, nullptr, nullptr,
                                IID_IDBInitialize, &dataSource);
  prompt->Release();
  if (FAILED(hr) || !dataSource) {
    if (hr != DB_E_CANCELED) MessageBox("Data link wizard error.", nullptr, MB_ICONERROR);
    return;
  }
  // The chosen data source only describes the string: it is never
  // initialized here and never becomes the sheet's.
  hr = GetInitString(dataSource);
  dataSource->Release();
  if (FAILED(hr)) {
    MessageBox(kInitStringMissing, nullptr, MB_OK);
    return;
  }
  EnableWindow(IDC_CONNECT, TRUE);
  QuerySiblings(reinterpret_cast<WPARAM>(this), 0);
}

HRESULT DARizozezPage::BuildDataSourceFromText() {
  IDataInitialize* dataInitialize = nullptr;
  HRESULT hr = CreateDataInitialize(&dataInitialize);
  if (FAILED(hr)) {
    MessageBox(kInitObjectMissing, nullptr, MB_OK);
    return hr;
  }
  const std::u16string wide = AnsiToOle(m_strConnection.str());
  IUnknown* dataSource = nullptr;
  hr = dataInitialize->GetDataSource(nullptr, CLSCTX_INPROC_SERVER, wide.c_str(), IID_IDBInitialize, &dataSource);
  if (FAILED(hr) || !dataSource) {
    if (dataSource) dataSource->Release();
    ShowOleDbErrors(dataInitialize, IID_IDataInitialize, GetSafeHwnd(), TRUE);
    return FAILED(hr) ? hr : E_FAIL;
  }
  dataInitialize->Release();
  m_pSheet->m_pDataSource = static_cast<IDBInitialize*>(dataSource);
  hr = m_pSheet->m_pDataSource->Initialize();
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pSheet->m_pDataSource, IID_IDBInitialize, GetSafeHwnd(), TRUE);
    m_pSheet->m_pDataSource = nullptr;
  }
  return hr;
}

void DARizozezPage::OnConnect() {
  if (!m_pSheet) m_pSheet = SheetOfPage(*this);
  if (!m_pSheet) return;
  if (m_pSheet->m_pDataSource && !ConfirmCloseConnection(*this)) return;
  QuerySiblings(reinterpret_cast<WPARAM>(this), 0);
  m_pSheet->ReleaseDataSource();
  UpdateData(TRUE);
  if (FAILED(BuildDataSourceFromText())) return;
  // The edit now shows the string in the provider's own form.
  GetInitString(m_pSheet->m_pDataSource);
  m_pSheet->ShowProviderInTitle();
  MessageBox("Connection succeeded!", "DARizozez", MB_ICONINFORMATION);
  EnableWindow(IDC_CONNECT, FALSE);
}

void DARizozezPage::OnCopy() {
  // The edit control itself writes the clipboard: the whole text, unbroken.
  m_editConnection.SetSel(0, -1);
  m_editConnection.ScrollCaret();
  m_editConnection.Copy();
  UpdateData(TRUE);
  ShowConnectionCopied();
}

void DARizozezPage::ShowConnectionCopied() {
  const CString display = InitStringDisplayCopy(m_strConnection);
  MessageBox(display, "Initialization string copied to the clipboard", MB_ICONINFORMATION);
}

LRESULT DARizozezPage::OnQuerySiblings(WPARAM wParam, LPARAM) {
  if (wParam == reinterpret_cast<WPARAM>(this)) return 0;
  EnableWindow(IDC_COPY, FALSE);
  EnableWindow(IDC_CONNECT, FALSE);
  m_strConnection.Empty();
  UpdateData(FALSE);
  return 0;
}

BOOL DARizozezPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  m_pSheet = SheetOfPage(*this);
  UpdateData(TRUE);
  if (!m_strConnection.IsEmpty() || !m_pSheet || !m_pSheet->m_pDataSource) return result;
  if (FAILED(GetInitString(m_pSheet->m_pDataSource)))
    MessageBox(kInitStringMissing, nullptr, MB_OK);
  else
    EnableWindow(IDC_CONNECT, FALSE);
  return result;
}
