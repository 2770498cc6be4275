// The OLE DB Table Analyzer: the tables of the connected data source, and
// from the selected one its rows or the description of its columns. The
// listing and its views are still to come.
#pragma once

#include "CConnectionPage.h"
#include "CString.h"

class CTablesPage : public CConnectionPage {
 public:
  CTablesPage();
  ~CTablesPage() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  IDBSchemaRowset* m_pSchemaRowset = nullptr;
  IOpenRowset* m_pOpenRowset = nullptr;
  BYTE m_bCatalogSupported = 0;
  BYTE m_bSchemaSupported = 0;
  CString m_strCatalogSeparator;
  CString m_strSchemaSeparator;
  CString m_strQuotePrefix;
  CString m_strQuoteSuffix;
  int m_bCatalogAtEnd = 0;
  CString m_strTable;

 protected:
  bool IsConnected() const override { return m_pSchemaRowset != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override;
  void ShowAttachFailure() override;

 private:
  void ReleaseConnection();
};
