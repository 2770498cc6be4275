#include "CMainApp.h"

#include "AppTitle.h"
#include "CMainPropertySheet.h"
#include "ConnectionPageRegistry.h"
#include "DebugTraceLog.h"
#include "Resources.h"
#include "SampleDatabase.h"
#include "objbase.h"

// COM is not checked here: if it fails, every creation fails later and each
// page reports its own failure.
CMainApp::CMainApp() { CoInitialize(nullptr); }

CMainApp::~CMainApp() { CoUninitialize(); }

BOOL CMainApp::InitInstance() {
  RouteDebugTraceToLog();
  RegisterAllResources();
  // Data Links offers the sample database while no file is chosen.
  SetSampleDataSource(SampleDatabasePath);
  CMainPropertySheet sheet(kAppTitle, nullptr, 0);
  AddToolPages(sheet);
  AfxSetMainWnd(&sheet);
  sheet.DoModal();
  return FALSE;
}
