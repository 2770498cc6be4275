#include "ConnectionConvention.h"

#include "oledberr.h"

CDataSourceSheet* SheetOfPage(CPropertyPage& page) { return dynamic_cast<CDataSourceSheet*>(page.GetParent()); }

bool ConfirmCloseConnection(CWnd& page) {
  return page.MessageBox("Close current connection?", "Connect", MB_YESNO | MB_ICONQUESTION) != IDNO;
}

void ReportConnectFailure(CWnd& page, HRESULT hr) {
  if (hr != DB_E_CANCELED) page.MessageBox("Could not initialize data source", nullptr, MB_ICONINFORMATION);
}
