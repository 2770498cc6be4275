#include "CMainPropertySheet.h"

#include "CAboutPage.h"
#include "CCommandPage.h"
#include "CEnumPage.h"
#include "CPropPage.h"
#include "CTablesPage.h"
#include "DARizozezPage.h"
#include "IconResources.h"
#include "ResourceIds.h"
#include "SViewerPage.h"
#include "StringTable.h"

CMainPropertySheet::CMainPropertySheet(LPCSTR caption, CWnd* parent, UINT selectPage)
    : CDataSourceSheet(caption, parent, selectPage) {
  m_psh.icon = LoadIconResource(IDR_MAINFRAME);
  m_psh.dwFlags |= PSH_USEHICON | PSH_NOAPPLYNOW | PSH_USECALLBACK;
  m_psh.dwFlags &= ~PSH_HASHELP;
}

CMainPropertySheet::~CMainPropertySheet() {
  // Without a window, removing pages activates no other page.
  DestroyWindow();
  while (GetPageCount() > 0) delete GetPage(0);
}

void CMainPropertySheet::OnPreCreate(DWORD& style, DWORD& exStyle) {
  style &= ~DS_MODALFRAME;
  style |= WS_MINIMIZEBOX;
  exStyle |= WS_EX_APPWINDOW;
}

void CMainPropertySheet::OnInitialized() {
  SetButtonText(IDCANCEL, "&Close");
  if (CWnd* ok = GetDlgItem(IDOK)) ok->DestroyWindow();
  SetDefID(IDCANCEL);
  AddAboutToSystemMenu();
}

void CMainPropertySheet::AddAboutToSystemMenu() {
  CMenu* systemMenu = GetSystemMenu(FALSE);
  if (!systemMenu) return;
  const CString about = LoadStringResource(IDS_ABOUTBOX);
  if (about.IsEmpty()) return;
  systemMenu->AppendMenu(MF_SEPARATOR);
  systemMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
}

void CMainPropertySheet::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX)
    SetActivePage(GetPageCount() - 1);
  else
    CDataSourceSheet::OnSysCommand(nID, lParam);
}

void AddToolPages(CMainPropertySheet& sheet) {
  sheet.AddPage(new DARizozezPage);
  sheet.AddPage(new CEnumPage);
  sheet.AddPage(new CTablesPage);
  sheet.AddPage(new SViewerPage);
  sheet.AddPage(new CPropPage);
  // Before About, so that the system menu's About entry, which selects the
  // last tab, still shows the About page.
  sheet.AddPage(new CCommandPage);
  sheet.AddPage(new CAboutPage);
}
