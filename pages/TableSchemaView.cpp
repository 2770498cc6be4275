// The Table Analyzer's schema view: the description of the selected
// table's columns, read-only, from the table's columns rowset or, when the
// provider's rowsets have none, from DBSCHEMA_COLUMNS.
#include "CEnumDialog.h"
#include "CTablesPage.h"
#include "OleDbErrors.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kSchemaMaxChars = 10;
// TABLE_CATALOG, TABLE_SCHEMA and TABLE_NAME say nothing about the one
// table asked for.
constexpr int kColumnsSchemaHiddenColumns = 3;
constexpr ULONG kColumnsRestrictions = 3;
constexpr ULONG kTableNameRestriction = 2;

}  // namespace

void CTablesPage::OnSchema() {
  UpdateData(TRUE);
  if (!m_pSchemaRowset) return;
  if (!HasOpenRowset()) return;

  const CString qualified = BuildQualifiedName();
  IColumnsRowset* columnsRowset = nullptr;
  auto* opened = reinterpret_cast<IUnknown**>(&columnsRowset);
  HRESULT hr = OpenTable(qualified, IID_IColumnsRowset, opened);
  if (hr == E_NOINTERFACE) {
    ShowColumnsSchema();
    return;
  }
  // Only the first answer chooses the schema-rowset route; a retry that
  // finds the table but no columns rowset is reported like any failure.
  if (hr == DB_E_NOTABLE && m_strTable.Find(' ') >= 0)
    hr = OpenTable("[" + m_strTable + "]", IID_IColumnsRowset, opened);
  if (FAILED(hr) || !columnsRowset) {
    ShowOleDbErrors(m_pOpenRowset, IID_IOpenRowset, GetSafeHwnd(), FALSE);
    return;
  }
  ShowColumnsRowset(columnsRowset);
}

void CTablesPage::ShowColumnsRowset(IColumnsRowset* columnsRowset) {
  IRowset* rowset = nullptr;
  const HRESULT hr =
      columnsRowset->GetColumnsRowset(nullptr, 0, nullptr, IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  if (FAILED(hr) || !rowset) {
    ShowOleDbErrors(columnsRowset, IID_IColumnsRowset, GetSafeHwnd(), TRUE);
    return;
  }
  columnsRowset->Release();
  ShowSchema(rowset, 0);
}

void CTablesPage::ShowColumnsSchema() {
  VARIANT restrictions[kColumnsRestrictions];
  for (VARIANT& restriction : restrictions) VariantInit(&restriction);
  restrictions[kTableNameRestriction].vt = VT_BSTR;
  restrictions[kTableNameRestriction].bstrVal = SysAllocString(AnsiToOle(m_strTable.str()).c_str());
  IRowset* rowset = nullptr;
  const HRESULT hr = m_pSchemaRowset->GetRowset(nullptr, DBSCHEMA_COLUMNS, kColumnsRestrictions, restrictions,
                                                IID_IRowset, 0, nullptr, reinterpret_cast<IUnknown**>(&rowset));
  VariantClear(&restrictions[kTableNameRestriction]);
  if (FAILED(hr) || !rowset) {
    ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
    return;
  }
  ShowSchema(rowset, kColumnsSchemaHiddenColumns);
}

void CTablesPage::ShowSchema(IRowset* rowset, int hiddenColumns) {
  CEnumDialog viewer(rowset, "Schema from table: " + m_strTable, kSchemaMaxChars, nullptr);
  viewer.SetHiddenColumns(hiddenColumns);
  viewer.DoModal();
}
