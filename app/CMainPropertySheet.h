// The main window: a sheet of tool pages with the application icon, a
// single Close button, a minimize box and an About entry in its system
// menu. It owns its pages and the current data source.
#pragma once

#include <QIcon>

#include "CDataSourceSheet.h"

class CMainPropertySheet : public CDataSourceSheet {
 public:
  CMainPropertySheet(LPCSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
  // Deletes the pages first to last (each releases what it holds), then the
  // base releases the data source.
  ~CMainPropertySheet() override;

  // The About entry (any id 0x0010-0x001F) selects the last page.
  void OnSysCommand(UINT nID, LPARAM lParam) override;
  QIcon OnQueryDragIcon() const { return m_psh.icon; }

 protected:
  void OnPreCreate(DWORD& style, DWORD& exStyle) override;
  void OnInitialized() override;

 private:
  void AddAboutToSystemMenu();
};

// The tool pages in tab order, created on the heap and owned by the sheet.
void AddToolPages(CMainPropertySheet& sheet);
