// The OLE DB Schema Viewer: any schema rowset the data source offers, with
// restriction values of the user's own, shown in the rowset viewer. The page
// opens one session on the sheet's current data source and keeps it until
// any page connects anew.
#pragma once

#include "CDataSourcePage.h"
#include "CListBox.h"
#include "CString.h"

class SViewerPage : public CDataSourcePage {
 public:
  SViewerPage();
  ~SViewerPage() override;

  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  // Opens the page's session on the data source (which the page neither
  // keeps nor releases) and lists the schemas it supports.
  HRESULT LoadSchemas(IDBInitialize* pDataSource);

  void OnConnect();
  void OnGetSchema();
  void OnSetValue();
  void OnSelchangeSchemas();
  void OnSelchangeRestrictions();
  void OnChangeValue();

  IDBSchemaRowset* m_pSchemaRowset = nullptr;
  ULONG* m_rgRestrictionSupport = nullptr;  // task memory
  GUID* m_rgSchemas = nullptr;              // task memory
  // Values of the selected schema's restrictions, one element per ordinal up
  // to the highest restriction listed, so each listed one can take a value.
  VARIANT* m_rgRestrictions = nullptr;
  ULONG m_cRestrictions = 0;
  IColumnsInfo* m_pColumnsInfo = nullptr;
  CListBox m_lbRestrictions;
  CListBox m_lbSchemas;
  int m_nSchema = -1;
  int m_nRestriction = -1;
  CString m_strValue;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pSchemaRowset != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override { return LoadSchemas(dataSource); }
  void ShowAttachFailure() override;

 private:
  void ReleaseConnection();
  void FreeRestrictions();
  void AllocateRestrictions(ULONG count);
  void ClearRestrictionValues();
  bool AnyRestrictionSet() const;
  bool IsListedSchema(int index) const;
  // The restriction ordinal of a restriction list item, or -1 for an item
  // that has no element in the restriction array.
  int RestrictionOrdinal(int item) const;
  HRESULT OpenSelectedSchema();
  // Lists the supported restrictions; returns the highest ordinal listed + 1.
  ULONG ListRestrictions(const DBCOLUMNINFO* columns, DBORDINAL count);
  void ShowRowset(IRowset* rowset);
};
