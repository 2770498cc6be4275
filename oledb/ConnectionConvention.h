// What every page does around a connection: finding its sheet, asking
// before the current connection is replaced, and the failure message after
// an unsuccessful connect.
#pragma once

#include "CDataSourceSheet.h"
#include "CPropertyPage.h"

// The page's sheet, from the page window's parent; null outside a sheet.
CDataSourceSheet* SheetOfPage(CPropertyPage& page);

// "Close current connection?", captioned "Connect"; true when the user
// answers Yes.
bool ConfirmCloseConnection(CWnd& page);

// After ConnectThroughDataLinks failed: "Could not initialize data source",
// unless the user cancelled the Data Links dialog.
void ReportConnectFailure(CWnd& page, HRESULT hr);
