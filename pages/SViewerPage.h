// The OLE DB Schema Viewer: any schema rowset the data source offers, with
// restriction values of the user's own. Fetching is still to come.
#pragma once

#include "CDataSourcePage.h"
#include "CListBox.h"
#include "CString.h"

class SViewerPage : public CDataSourcePage {
 public:
  SViewerPage();
  ~SViewerPage() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  IDBSchemaRowset* m_pSchemaRowset = nullptr;
  ULONG* m_rgRestrictionSupport = nullptr;  // task memory
  GUID* m_rgSchemas = nullptr;              // task memory
  VARIANT* m_rgRestrictions = nullptr;      // heap array of the selected schema's restriction count
  ULONG m_cRestrictions = 0;                // elements of m_rgRestrictions
  IColumnsInfo* m_pColumnsInfo = nullptr;
  CListBox m_lbRestrictions;
  CListBox m_lbSchemas;
  int m_nSchema = -1;
  int m_nRestriction = -1;
  CString m_strValue;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pSchemaRowset != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override;
  void ShowAttachFailure() override;

 private:
  void ReleaseConnection();
  void FreeRestrictions();
};
