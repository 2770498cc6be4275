// The OLE DB Table Analyzer: the tables of the connected data source, one
// row per table with its catalog and schema, and from the selected one its
// rows (Data) or the description of its columns (Schema) in the rowset
// viewer. The page opens one session on the sheet's current data source
// and works through it until any page connects anew.
#pragma once

#include "CDataSourcePage.h"
#include "CCustListCtrl.h"
#include "CString.h"
#include "QualifyTableName.h"

class CTablesPage : public CDataSourcePage {
 public:
  CTablesPage();
  ~CTablesPage() override;

  BOOL OnInitDialog() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  // Reads the naming literals, opens the session and lists the data
  // source's tables of type "TABLE". The data source is only queried.
  HRESULT ListTables(IDBInitialize* dataSource);
  // The selected row's table as its provider wants it named.
  CString BuildQualifiedName();

  void OnConnect();
  void OnData();
  void OnSchema();
  void OnDblclkTableList(NMHDR* header, LRESULT* result);

  IDBSchemaRowset* m_pSchemaRowset = nullptr;
  IOpenRowset* m_pOpenRowset = nullptr;
  BYTE m_bCatalogSupported = 0;
  BYTE m_bSchemaSupported = 0;
  CString m_strCatalogSeparator;
  CString m_strSchemaSeparator;
  CString m_strQuotePrefix;
  CString m_strQuoteSuffix;
  int m_bCatalogAtEnd = 0;
  LONG m_lIdentifierCase = 0;  // DBPROPVAL_IC_*, 0 when not reported
  CCustListCtrl m_list;
  CString m_strTable;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pSchemaRowset != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override { return ListTables(dataSource); }
  void ShowAttachFailure() override;

 private:
  void ResetNaming();
  void ReadNamingLiterals(IDBInitialize* dataSource);
  void ReadCatalogLocation(IDBInitialize* dataSource);
  HRESULT OpenSession(IDBInitialize* dataSource);
  HRESULT FillTableList(IRowset* rowset);
  void ReleaseConnection();
  bool HasOpenRowset();

  // Data view.
  HRESULT OpenThroughCommand(IDBCreateCommand* createCommand, IRowset** rowset);
  HRESULT OpenDirectly(IRowset** rowset);
  HRESULT OpenTable(const CString& name, REFIID riid, IUnknown** rowset);
  HRESULT OpenTableWithRetry(const CString& name, REFIID riid, IUnknown** rowset);
  void ShowData(IRowset* rowset);

  // Schema view.
  void ShowColumnsRowset(IColumnsRowset* columnsRowset);
  void ShowColumnsSchema();
  void ShowSchema(IRowset* rowset, int hiddenColumns);
};
