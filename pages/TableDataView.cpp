// The Table Analyzer's data view: every row of the selected table in an
// editable viewer, through a command when the session makes commands and
// through IOpenRowset when it does not.
#include "AddProperty.h"
#include "CEnumDialog.h"
#include "CTablesPage.h"
#include "OleDbErrors.h"
#include "ReleasePropertySet.h"
#include "ResourceIds.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kDataMaxChars = 20;

void AddRequiredTrue(DBPROPSET& set, DBPROPID id) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BOOL;
  value.boolVal = VARIANT_TRUE;
  AddProperty(set, id, DBPROPOPTIONS_REQUIRED, value);
}

// The table is read through row positions, so the grid can find rows
// again to write them back.
DBPROPSET DataRowsetProperties() {
  DBPROPSET set{};
  set.guidPropertySet = DBPROPSET_ROWSET;
  AddRequiredTrue(set, DBPROP_ISupportErrorInfo);
  AddRequiredTrue(set, DBPROP_IRowsetLocate);
  return set;
}

}  // namespace

void CTablesPage::OnData() {
  if (CWnd* button = GetDlgItem(IDC_TABLES_DATA)) button->SetFocus();
  UpdateData(TRUE);
  if (!m_pSchemaRowset) return;

  IDBCreateCommand* createCommand = nullptr;
  HRESULT hr = m_pSchemaRowset->QueryInterface(IID_IDBCreateCommand, reinterpret_cast<void**>(&createCommand));
  IRowset* rowset = nullptr;
  if (SUCCEEDED(hr)) {
    hr = OpenThroughCommand(createCommand, &rowset);
  } else if (hr == E_NOINTERFACE) {
    hr = OpenDirectly(&rowset);
  } else {
    ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
  }
  if (SUCCEEDED(hr) && rowset) ShowData(rowset);
}

// Takes over the caller's reference to createCommand.
HRESULT CTablesPage::OpenThroughCommand(IDBCreateCommand* createCommand, IRowset** rowset) {
  ICommandText* command = nullptr;
  HRESULT hr = createCommand->CreateCommand(nullptr, IID_ICommandText, reinterpret_cast<IUnknown**>(&command));
  if (FAILED(hr)) {
    ShowOleDbErrors(createCommand, IID_IDBCreateCommand, GetSafeHwnd(), TRUE);
    return hr;
  }
  createCommand->Release();

  // A text the provider rejects shows up when the command runs.
  const CString text = "select * from " + BuildQualifiedName();
  BSTR sql = SysAllocString(AnsiToOle(text.str()).c_str());
  command->SetCommandText(DBGUID_DBSQL, sql);
  SysFreeString(sql);

  ICommandProperties* commandProperties = nullptr;
  hr = command->QueryInterface(IID_ICommandProperties, reinterpret_cast<void**>(&commandProperties));
  if (FAILED(hr)) {
    ShowOleDbErrors(command, IID_ICommandText, GetSafeHwnd(), TRUE);
    return hr;
  }
  DBPROPSET properties = DataRowsetProperties();
  hr = commandProperties->SetProperties(1, &properties);
  if (FAILED(hr)) {
    ShowOleDbErrors(commandProperties, IID_ICommandProperties, GetSafeHwnd(), TRUE);
    ReleasePropertySet(properties);
    command->Release();
    return hr;
  }
  commandProperties->Release();

  hr = command->Execute(nullptr, IID_IRowset, nullptr, nullptr, reinterpret_cast<IUnknown**>(rowset));
  if (FAILED(hr)) {
    *rowset = nullptr;
    ShowOleDbErrors(command, IID_ICommandText, GetSafeHwnd(), TRUE);
    ReleasePropertySet(properties);
    return hr;
  }
  command->Release();
  ReleasePropertySet(properties);
  return hr;
}

// No rowset property is asked for on this route; the table goes by its
// bare name.
HRESULT CTablesPage::OpenDirectly(IRowset** rowset) {
  if (!HasOpenRowset()) return E_NOINTERFACE;
  const HRESULT hr = OpenTableWithRetry(m_strTable, IID_IRowset, reinterpret_cast<IUnknown**>(rowset));
  if (FAILED(hr)) ShowOleDbErrors(m_pOpenRowset, IID_IOpenRowset, GetSafeHwnd(), FALSE);
  return hr;
}

void CTablesPage::ShowData(IRowset* rowset) {
  CEnumDialog viewer(rowset, "Data from table: " + m_strTable, kDataMaxChars, nullptr);
  // Sorting needs the table's name only for a rowset no command produced.
  if (m_pOpenRowset) viewer.SetTableName(m_strTable);
  viewer.SetEditingEnabled(TRUE);
  viewer.DoModal();
  OutputDebugString("OnData\n");
}
