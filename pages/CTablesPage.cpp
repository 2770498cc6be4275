#include "CTablesPage.h"

#include "CBind.h"
#include "CDataExchange.h"
#include "DDX_ListViewText.h"
#include "DataSourceInfo.h"
#include "OleDbErrors.h"
#include "OpenSchemaSession.h"
#include "ReleaseInterface.h"
#include "ReleasePropertySet.h"
#include "ResourceIds.h"
#include "RowBatchReader.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

constexpr int kColumnWidth = 130;
constexpr DBLENGTH kTextLength = 256;
constexpr DBPART kAllParts = DBPART_VALUE | DBPART_LENGTH | DBPART_STATUS;

// DBSCHEMA_TABLES column ordinals.
constexpr DBORDINAL kTableCatalogColumn = 1;
constexpr DBORDINAL kTableSchemaColumn = 2;
constexpr DBORDINAL kTableNameColumn = 3;
constexpr ULONG kTablesRestrictions = 4;
constexpr ULONG kTableTypeRestriction = 3;

CString LiteralText(const DBLITERALINFO& info) { return OleToAnsi(info.pwszLiteralValue ? info.pwszLiteralValue : u""); }

// Literal arrays come back from GetLiteralInfo in task memory.
struct LiteralInfoArrays {
  ULONG count = 0;
  DBLITERALINFO* infos = nullptr;
  OLECHAR* buffer = nullptr;
  ~LiteralInfoArrays() {
    CoTaskMemFree(infos);
    CoTaskMemFree(buffer);
  }
};

HRESULT GetLiterals(IDBInfo* info, ULONG count, const DBLITERAL* literals, LiteralInfoArrays& arrays) {
  const HRESULT hr = info->GetLiteralInfo(count, literals, &arrays.count, &arrays.infos, &arrays.buffer);
  if (SUCCEEDED(hr) && (arrays.count < count || !arrays.infos)) return E_UNEXPECTED;
  return hr;
}

}  // namespace

CTablesPage::CTablesPage() : CDataSourcePage(IDD_TABLE_ANALYZER) {
  OnBnClicked(IDC_TABLES_CONNECT, &CTablesPage::OnConnect);
  OnBnClicked(IDC_TABLES_DATA, &CTablesPage::OnData);
  OnBnClicked(IDC_TABLES_SCHEMA, &CTablesPage::OnSchema);
}

CTablesPage::~CTablesPage() { ReleaseConnection(); }

void CTablesPage::ReleaseConnection() {
  ReleaseInterface(m_pOpenRowset);
  ReleaseInterface(m_pSchemaRowset);
}

void CTablesPage::DoDataExchange(CDataExchange* pDX) {
  CDataSourcePage::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_TABLE_LIST, m_list);
  DDX_ListViewText(pDX, IDC_TABLE_LIST, m_strTable);
}

BOOL CTablesPage::OnInitDialog() {
  CDataSourcePage::OnInitDialog();
  m_list.InsertColumn(0, "Table Name", LVCFMT_LEFT, kColumnWidth);
  m_list.InsertColumn(1, "Catalog", LVCFMT_LEFT, kColumnWidth, 1);
  m_list.InsertColumn(2, "Schema", LVCFMT_LEFT, kColumnWidth, 2);
  m_list.SetNotifyHandler(NM_DBLCLK, [this](NMHDR* header, LRESULT* result) {
    OnDblclkTableList(header, result);
    return TRUE;
  });
  return TRUE;
}

void CTablesPage::ShowAttachFailure() { MessageBox("Could not get properties", nullptr, MB_ICONINFORMATION); }

void CTablesPage::OnConnect() { ConnectThroughSheet(); }

void CTablesPage::OnDblclkTableList(NMHDR*, LRESULT* result) {
  OnData();
  *result = 0;
}

LRESULT CTablesPage::OnQuerySiblings(WPARAM, LPARAM) {
  EnableWindow(IDC_TABLES_SCHEMA, FALSE);
  EnableWindow(IDC_TABLES_DATA, FALSE);
  ReleaseConnection();
  if (m_list.HasWindow()) m_list.DeleteAllItems();
  return 0;
}

// ---- listing -----------------------------------------------------------------

void CTablesPage::ResetNaming() {
  m_bSchemaSupported = 0;
  m_bCatalogSupported = 0;
  m_strCatalogSeparator.Empty();
  m_strSchemaSeparator.Empty();
  m_strQuotePrefix.Empty();
  m_strQuoteSuffix.Empty();
  m_bCatalogAtEnd = 0;
  m_lIdentifierCase = 0;
}

// A provider without IDBInfo, or one that cannot tell its literals, is
// named with the defaults: no catalog, no schema, no quotes.
void CTablesPage::ReadNamingLiterals(IDBInitialize* dataSource) {
  IDBInfo* info = nullptr;
  if (FAILED(dataSource->QueryInterface(IID_IDBInfo, reinterpret_cast<void**>(&info)))) return;
  {
    const DBLITERAL names[] = {DBLITERAL_CATALOG_NAME, DBLITERAL_CATALOG_SEPARATOR, DBLITERAL_SCHEMA_NAME,
                               DBLITERAL_SCHEMA_SEPARATOR};
    LiteralInfoArrays arrays;
    if (SUCCEEDED(GetLiterals(info, 4, names, arrays))) {
      m_bCatalogSupported = arrays.infos[0].fSupported == TRUE;
      m_bSchemaSupported = arrays.infos[2].fSupported == TRUE;
      m_strCatalogSeparator = LiteralText(arrays.infos[1]);
      m_strSchemaSeparator = LiteralText(arrays.infos[3]);
    }
  }
  {
    const DBLITERAL quotes[] = {DBLITERAL_QUOTE_PREFIX, DBLITERAL_QUOTE_SUFFIX};
    LiteralInfoArrays arrays;
    if (SUCCEEDED(GetLiterals(info, 2, quotes, arrays))) {
      m_strQuotePrefix = LiteralText(arrays.infos[0]);
      m_strQuoteSuffix = LiteralText(arrays.infos[1]);
    }
  }
  info->Release();
  ReadCatalogLocation(dataSource);
}

// Anything but a catalog reported at the start puts it at the end; a call
// that fails outright leaves it in front. A server that folds unquoted
// names to one case has its names quoted where folding would change them.
void CTablesPage::ReadCatalogLocation(IDBInitialize* dataSource) {
  VARIANT value;
  if (ReadDataSourceInfo(dataSource, DBPROP_CATALOGLOCATION, value))
    m_bCatalogAtEnd = (value.vt == VT_I4 && value.lVal == DBPROPVAL_CL_START) ? 0 : 1;
  VariantClear(&value);
  if (ReadDataSourceInfo(dataSource, DBPROP_IDENTIFIERCASE, value) && value.vt == VT_I4)
    m_lIdentifierCase = value.lVal;
  VariantClear(&value);
}

HRESULT CTablesPage::OpenSession(IDBInitialize* dataSource) {
  return OpenSchemaSession(dataSource, GetSafeHwnd(), &m_pSchemaRowset);
}

HRESULT CTablesPage::ListTables(IDBInitialize* dataSource) {
  if (!dataSource) return E_INVALIDARG;
  ReleaseConnection();  // attaching is for a page that holds nothing; never leak a session
  ResetNaming();
  ReadNamingLiterals(dataSource);
  HRESULT hr = OpenSession(dataSource);
  if (FAILED(hr)) return hr;

  VARIANT restrictions[kTablesRestrictions];
  for (VARIANT& restriction : restrictions) VariantInit(&restriction);
  restrictions[kTableTypeRestriction].vt = VT_BSTR;
  restrictions[kTableTypeRestriction].bstrVal = SysAllocString(u"TABLE");
  IRowset* rowset = nullptr;
  hr = m_pSchemaRowset->GetRowset(nullptr, DBSCHEMA_TABLES, kTablesRestrictions, restrictions, IID_IRowset, 0,
                                  nullptr, reinterpret_cast<IUnknown**>(&rowset));
  VariantClear(&restrictions[kTableTypeRestriction]);
  if (FAILED(hr)) {
    ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
    return hr;
  }
  FillTableList(rowset);
  rowset->Release();
  EnableWindow(IDC_TABLES_SCHEMA, TRUE);
  EnableWindow(IDC_TABLES_DATA, TRUE);
  return hr;
}

// A row whose values cannot be read repeats the texts of the row before.
HRESULT CTablesPage::FillTableList(IRowset* rowset) {
  char tableName[kTextLength] = "";
  char catalog[kTextLength] = "";
  char schema[kTextLength] = "";
  CBind bind;
  bind.AddBinding(kTableNameColumn, tableName, kTextLength, kAllParts);
  bind.AddBinding(kTableCatalogColumn, catalog, kTextLength, kAllParts);
  bind.AddBinding(kTableSchemaColumn, schema, kTextLength, kAllParts);
  bind.CreateAccessor(rowset);

  char* const texts[] = {tableName, catalog, schema};
  LVITEM items[3] = {};
  for (int column = 0; column < 3; ++column) {
    items[column].mask = LVIF_TEXT;
    items[column].iSubItem = column;
    items[column].pszText = texts[column];
    items[column].cchTextMax = kTextLength;
  }
  int row = 0;
  RowBatchReader reader(rowset);
  return reader.ReadAll([&](const HROW* rows, DBCOUNTITEM count) {
    for (DBCOUNTITEM i = 0; i < count; ++i) {
      bind.GetData(rowset, rows[i]);
      for (LVITEM& item : items) item.iItem = row;
      m_list.InsertItem(&items[0]);
      m_list.SetItem(&items[1]);
      m_list.SetItem(&items[2]);
      ++row;
    }
  });
}

// ---- naming ------------------------------------------------------------------

CString CTablesPage::BuildQualifiedName() {
  CString catalog;
  CString schema;
  const int selected = m_list.HasWindow() ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
  if (selected >= 0) {
    catalog = m_list.GetItemText(selected, 1);
    schema = m_list.GetItemText(selected, 2);
  }
  TableNamingRules rules;
  rules.catalogSupported = m_bCatalogSupported != 0;
  rules.schemaSupported = m_bSchemaSupported != 0;
  rules.catalogSeparator = m_strCatalogSeparator;
  rules.schemaSeparator = m_strSchemaSeparator;
  rules.quotePrefix = m_strQuotePrefix;
  rules.quoteSuffix = m_strQuoteSuffix;
  rules.catalogAtEnd = m_bCatalogAtEnd == 1;
  rules.identifierCase = m_lIdentifierCase;
  return QualifyTableName(rules, catalog, schema, m_strTable);
}

// The session's IOpenRowset, obtained once and kept until the next
// disconnect.
bool CTablesPage::HasOpenRowset() {
  if (m_pOpenRowset) return true;
  if (SUCCEEDED(m_pSchemaRowset->QueryInterface(IID_IOpenRowset, reinterpret_cast<void**>(&m_pOpenRowset))))
    return true;
  m_pOpenRowset = nullptr;
  ShowOleDbErrors(m_pSchemaRowset, IID_IDBSchemaRowset, GetSafeHwnd(), FALSE);
  return false;
}

HRESULT CTablesPage::OpenTable(const CString& name, REFIID riid, IUnknown** rowset) {
  DBID table{};
  table.eKind = DBKIND_NAME;
  table.uName.pwszName = SysAllocString(AnsiToOle(name.str()).c_str());
  *rowset = nullptr;
  const HRESULT hr = m_pOpenRowset->OpenRowset(nullptr, &table, nullptr, riid, 0, nullptr, rowset);
  SysFreeString(table.uName.pwszName);
  if (FAILED(hr)) *rowset = nullptr;
  return hr;
}

// A name with a space that the provider does not know is tried once more
// in square brackets, whatever the provider's own quotes are.
HRESULT CTablesPage::OpenTableWithRetry(const CString& name, REFIID riid, IUnknown** rowset) {
  const HRESULT hr = OpenTable(name, riid, rowset);
  if (hr != DB_E_NOTABLE || m_strTable.Find(' ') < 0) return hr;
  return OpenTable("[" + m_strTable + "]", riid, rowset);
}
