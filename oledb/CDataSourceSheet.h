// The property sheet that holds the current data source shared by all the
// pages, and the way it obtains one through the Data Links dialog.
#pragma once

#include "CPropertySheet.h"
#include "oledb.h"

class CDataSourceSheet : public CPropertySheet {
 public:
  CDataSourceSheet(LPCSTR caption, CWnd* parent, UINT selectPage) : CPropertySheet(caption, parent, selectPage) {}
  // Releases the data source; a derived sheet deletes its pages first.
  ~CDataSourceSheet() override;

  // Gives up the current data source, lets the user choose one in the Data
  // Links dialog and, with bInitialize, initializes it and names its
  // provider in the title. On success *ppDataSource is m_pDataSource (no
  // reference of its own); on failure it is null. DB_E_CANCELED when the
  // user cancelled, which is never reported.
  HRESULT ConnectThroughDataLinks(IDBInitialize** ppDataSource, BOOL bInitialize);

  // Titles the sheet "<app title> - <provider's friendly name>"; leaves the
  // title as it was when the name cannot be read.
  void ShowProviderInTitle();

  // Releases m_pDataSource, if any.
  void ReleaseDataSource();

  // The current data source; the sheet owns one reference. Null when there
  // is none.
  IDBInitialize* m_pDataSource = nullptr;
};
