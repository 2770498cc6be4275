#include "CCommandPage.h"

#include <string>

#include "CDataExchange.h"
#include "CEnumDialog.h"
#include "CommandRowsetProperties.h"
#include "OleDbErrors.h"
#include "ReleaseInterface.h"
#include "ReleasePropertySet.h"
#include "ResourceIds.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kQueryMaxChars = 20;

// A property set built here, released with ReleasePropertySet on every path.
struct OwnedPropertySet {
  DBPROPSET set;
  ~OwnedPropertySet() { ReleasePropertySet(set); }
};

std::string RowsAffectedText(DBROWCOUNT rows) {
  if (rows < 0) return "Command completed";  // the provider could not tell
  if (rows == 1) return "1 row affected";
  return std::to_string(rows) + " rows affected";
}

}  // namespace

CCommandPage::CCommandPage() : CDataSourcePage(IDD_COMMAND_PROCESSOR) {
  OnBnClicked(IDC_COMMAND_CONNECT, &CCommandPage::OnConnect);
  OnBnClicked(IDC_EXECUTE, &CCommandPage::OnExecute);
  OnEnChange(IDC_COMMAND_TEXT, &CCommandPage::OnChangeCommand);
}

CCommandPage::~CCommandPage() { ReleaseInterface(m_pCommandText); }

void CCommandPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_COMMAND_TEXT, m_strCommand);
}

// The focus goes to the command edit unless attaching was tried and failed.
BOOL CCommandPage::OnSetActive() {
  const BOOL result = CPropertyPage::OnSetActive();
  if (PickUpSheetDataSource()) FocusCommand();
  return result;
}

void CCommandPage::OnConnect() {
  if (ConnectThroughSheet()) FocusCommand();
}

void CCommandPage::FocusCommand() { GotoDlgCtrl(GetDlgItem(IDC_COMMAND_TEXT)); }

void CCommandPage::ShowAttachFailure() { MessageBox("Could not get command object", nullptr, MB_ICONINFORMATION); }

HRESULT CCommandPage::GetCommandObject(IDBInitialize* pDataSource) {
  if (!pDataSource) return E_INVALIDARG;
  ReleaseInterface(m_pCommandText);  // attaching is for a page that holds nothing; never leak a command
  IDBCreateSession* createSession = nullptr;
  HRESULT hr = pDataSource->QueryInterface(IID_IDBCreateSession, reinterpret_cast<void**>(&createSession));
  if (FAILED(hr)) {
    ShowOleDbErrors(pDataSource, IID_IDBInitialize, GetSafeHwnd(), FALSE);
    return hr;
  }
  IDBCreateCommand* createCommand = nullptr;
  hr = createSession->CreateSession(nullptr, IID_IDBCreateCommand, reinterpret_cast<IUnknown**>(&createCommand));
  if (FAILED(hr)) {
    ShowOleDbErrors(createSession, IID_IDBCreateSession, GetSafeHwnd(), TRUE);
    return hr;
  }
  createSession->Release();
  hr = createCommand->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&m_pCommandText));
  if (FAILED(hr)) {
    m_pCommandText = nullptr;
    ShowOleDbErrors(createCommand, IID_IDBCreateCommand, GetSafeHwnd(), TRUE);
    return hr;
  }
  createCommand->Release();
  return S_OK;
}

void CCommandPage::OnChangeCommand() {
  EnableWindow(IDC_EXECUTE, TRUE);
  SetDefID(IDC_EXECUTE);
}

LRESULT CCommandPage::OnQuerySiblings(WPARAM, LPARAM) {
  EnableWindow(IDC_EXECUTE, FALSE);
  ReleaseInterface(m_pCommandText);
  SetStatus("");
  return 0;
}

void CCommandPage::SetStatus(LPCSTR text) {
  if (HasWindow()) SetDlgItemText(IDC_COMMAND_STATUS, text);
}

// ---- executing ---------------------------------------------------------------

void CCommandPage::OnExecute() {
  if (!m_pCommandText) return;
  UpdateData(TRUE);
  SetStatus("");
  if (!SetCommandText()) return;
  IRowset* rowset = nullptr;
  DBROWCOUNT rowsAffected = -1;
  bool editable = true;
  RunResult result = Run(true, &rowset, &rowsAffected);
  if (result == RunResult::NotUpdatable) {
    // Rows the provider cannot change (a join, an aggregate, no key) are
    // still worth seeing.
    editable = false;
    result = Run(false, &rowset, &rowsAffected);
  }
  if (result != RunResult::Done) return;
  if (!rowset) {
    SetStatus(RowsAffectedText(rowsAffected).c_str());
    return;
  }
  if (!editable) SetStatus("Read-only: the provider cannot change these rows");
  ShowRows(rowset, editable);
}

// A text the provider refuses must not leave the previous one in place:
// running that again could repeat a DELETE.
bool CCommandPage::SetCommandText() {
  BSTR text = SysAllocString(AnsiToOle(m_strCommand.str()).c_str());
  const HRESULT hr = m_pCommandText->SetCommandText(DBGUID_DBSQL, text);
  SysFreeString(text);
  if (SUCCEEDED(hr)) return true;
  ShowOleDbErrors(m_pCommandText, IID_ICommandText, GetSafeHwnd(), FALSE);
  return false;
}

CCommandPage::RunResult CCommandPage::Run(bool updatable, IRowset** rowset, DBROWCOUNT* rowsAffected) {
  ICommandProperties* properties = nullptr;
  HRESULT hr = m_pCommandText->QueryInterface(IID_ICommandProperties, reinterpret_cast<void**>(&properties));
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pCommandText, IID_ICommandText, GetSafeHwnd(), FALSE);
    return RunResult::Failed;
  }
  OwnedPropertySet owned{updatable ? UpdatableRowsetProperties() : ReadOnlyRowsetProperties()};
  hr = properties->SetProperties(1, &owned.set);
  if (FAILED(hr)) {
    if (updatable && hr == DB_E_ERRORSOCCURRED && OnlyChangingRefused(owned.set)) {
      properties->Release();
      return RunResult::NotUpdatable;
    }
    ShowOleDbErrors(properties, IID_ICommandProperties, GetSafeHwnd(), TRUE);
    return RunResult::Failed;
  }
  *rowset = nullptr;
  hr = m_pCommandText->Execute(nullptr, IID_IRowset, nullptr, rowsAffected, reinterpret_cast<IUnknown**>(rowset));
  if (FAILED(hr)) {
    *rowset = nullptr;
    const bool notUpdatable = updatable && hr == DB_E_ERRORSOCCURRED && OnlyChangingInError(properties);
    properties->Release();
    if (notUpdatable) return RunResult::NotUpdatable;
    ShowOleDbErrors(m_pCommandText, IID_ICommandText, GetSafeHwnd(), FALSE);
    return RunResult::Failed;
  }
  properties->Release();
  return RunResult::Done;
}

// Asks which properties the failed execution could not meet; the error
// records of that execution are kept for the report meanwhile.
bool CCommandPage::OnlyChangingInError(ICommandProperties* properties) {
  IErrorInfo* executionErrors = nullptr;
  GetErrorInfo(0, &executionErrors);
  DBPROPIDSET inError{nullptr, 0, DBPROPSET_PROPERTIESINERROR};
  ULONG setCount = 0;
  DBPROPSET* sets = nullptr;
  bool onlyChanging = false;
  if (SUCCEEDED(properties->GetProperties(1, &inError, &setCount, &sets)) && sets) {
    onlyChanging = setCount > 0;
    for (ULONG i = 0; i < setCount && onlyChanging; ++i) {
      onlyChanging = sets[i].cProperties > 0;
      for (ULONG j = 0; j < sets[i].cProperties; ++j)
        if (!IsChangingProperty(sets[i].rgProperties[j].dwPropertyID)) onlyChanging = false;
    }
  }
  ReleasePropertySets(setCount, sets);
  SetErrorInfo(0, executionErrors);
  if (executionErrors) executionErrors->Release();
  return onlyChanging;
}

void CCommandPage::ShowRows(IRowset* rowset, bool editable) {
  CEnumDialog dialog(rowset, "Data from query", kQueryMaxChars, nullptr);
  dialog.SetEditingEnabled(editable ? TRUE : FALSE);
  dialog.DoModal();
}
