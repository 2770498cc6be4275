// The OLE DB Properties Browser: the property sets and properties a data
// source reports, and the current value of one of them as text.
#pragma once

#include "CDataSourcePage.h"
#include "CListBox.h"
#include "CPropertyInfoSetArray.h"

class CPropPage : public CDataSourcePage {
 public:
  CPropPage();
  ~CPropPage() override;

  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  // Obtains the data source's IDBProperties (the data source itself is
  // neither kept nor released) and lists the property sets it describes.
  HRESULT LoadProperties(IDBInitialize* pDataSource);

  void OnConnect();
  void OnSelchangePropSets();
  void OnSelchangeProperties();

  IDBProperties* m_pProperties = nullptr;
  // The described sets, their count and the description buffer they point
  // into, held as one.
  CPropertyInfoSetArray m_rgPropInfoSets;
  CListBox m_lbProperties;
  CListBox m_lbPropSets;
  int m_nPropSet = -1;
  int m_nProperty = -1;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pProperties != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override { return LoadProperties(dataSource); }
  void ShowAttachFailure() override;

 private:
  void ReleaseConnection();
  const DBPROPINFOSET* SelectedSet() const;
  void SetValueText(LPCSTR text);
};
