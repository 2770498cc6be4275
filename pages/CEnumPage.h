// The OLE DB Enumerator: what the root enumerator reports, providers to
// connect to and enumerators whose sources open in the rowset viewer. The
// page holds no connection of its own: a provider it connects to becomes
// the sheet's current data source.
#pragma once

#include "CCustListCtrl.h"
#include "CDataSourceSheet.h"
#include "CPropertyPage.h"
#include "CString.h"

class CEnumPage : public CPropertyPage {
 public:
  CEnumPage();

  BOOL OnInitDialog() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  // Connects to the selected provider, or opens the selected enumerator.
  void OnConnect();
  // "&Enumerate" for an enumerator's row, "C&onnect" for any other.
  void OnItemChangedList(NMHDR* header, LRESULT* result);

  CCustListCtrl m_list;
  CDataSourceSheet* m_pSheet = nullptr;  // taken when Connect is pressed
  CString m_strName;                     // the "Name" text of the selected row

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  HRESULT OpenSourcesRowset(IRowset** rowset);
  void FillList(IRowset* rowset);
  int SelectedItem();
  int SourceTypeOf(int item);
  CLSID ClassOf(int item);
  void OpenEnumerator(int item);
  void ConnectToProvider(int item);
  HRESULT InitializeWithPrompt(IDBProperties* properties, IDBInitialize** dataSource);
  void MakeCurrent(IDBInitialize* dataSource, int item);
};
