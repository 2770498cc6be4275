// The OLE DB Properties Browser: the property sets and properties a data
// source reports, and the value of one of them. Browsing is still to come.
#pragma once

#include "CDataSourcePage.h"
#include "CListBox.h"

class CPropPage : public CDataSourcePage {
 public:
  CPropPage();
  ~CPropPage() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  IDBProperties* m_pProperties = nullptr;
  ULONG m_cPropInfoSets = 0;
  DBPROPINFOSET* m_rgPropInfoSets = nullptr;  // task memory
  OLECHAR* m_pDescBuffer = nullptr;            // task memory
  CListBox m_lbProperties;
  CListBox m_lbPropSets;
  int m_nPropSet = -1;
  int m_nProperty = -1;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pProperties != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override;
  void ShowAttachFailure() override;

 private:
  void ReleaseConnection();
};
