// A tabbed sheet of pages with a button row (OK, Cancel, Apply, Help) and
// its own system menu, shown on Alt+Space or a right click on the tabs,
// since the window manager owns the title bar's menu here.
#pragma once

#include <QIcon>
#include <QPushButton>
#include <QStackedWidget>
#include <QPointer>
#include "DialogWindow.h"
#include <map>
#include <memory>
#include <vector>

#include "CMenu.h"
#include "CPropertyPage.h"
#include "CWnd.h"
#include "MultiRowTabBar.h"


struct PropertySheetHeader {
  DWORD dwFlags = PSH_DEFAULT;  // PSH_NOAPPLYNOW, PSH_HASHELP, PSH_USEHICON, PSH_PROPTITLE
  UINT nStartPage = 0;
  QIcon icon;  // shown when PSH_USEHICON is set
};

class CPropertySheet : public CWnd {
 public:
  CPropertySheet() = default;
  explicit CPropertySheet(LPCSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
  ~CPropertySheet() override;

  // Pages stay owned by the caller.
  void AddPage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const;
  int GetPageIndex(const CPropertyPage* page) const;  // -1 if not in the sheet
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  // Before the sheet runs this chooses the start page.
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page);
  // Style 0: the text is the whole title; PSH_PROPTITLE prefixes
  // "Properties for ".
  void SetTitle(LPCSTR text, UINT style = 0);

  // Runs the sheet; IDOK or IDCANCEL, or -1 when it cannot be created.
  virtual INT_PTR DoModal();
  BOOL Create(CWnd* parent = nullptr);  // modeless
  BOOL DestroyWindow() override;
  void EndDialog(int result);
  // Acts as if the user pressed the button: IDOK, IDCANCEL, ID_APPLY_NOW.
  void PressButton(int id);

  // Delivers the message to every page that has a window, in tab order,
  // until one returns non-zero; returns that value, else 0.
  LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);

  // Before the window exists: the window's style and extended style may be
  // changed (WS_MINIMIZEBOX, DS_MODALFRAME, WS_EX_APPWINDOW are honoured).
  virtual void OnPreCreate(DWORD& style, DWORD& exStyle);
  // The window, its buttons and system menu exist and the start page is
  // shown.
  virtual void OnInitialized();
  virtual BOOL OnInitDialog();
  // A system-menu choice. Default: SC_MINIMIZE minimizes, SC_MAXIMIZE
  // maximizes, SC_RESTORE restores, SC_CLOSE closes as Cancel does.
  virtual void OnSysCommand(UINT id, LPARAM lParam);

  // Null while there is no window; TRUE restores the default items.
  CMenu* GetSystemMenu(BOOL revert);
  void ShowSystemMenu(QPoint globalPosition);

  // The sheet's buttons by id (IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP).
  CWnd* GetDlgItem(int id);
  void HideButton(int id);
  void SetButtonText(int id, LPCSTR text);
  // Makes a button of the sheet or of the active page the default one.
  void SetDefID(UINT id);
  DWORD GetDefID() const;

  DWORD GetStyle() const { return m_style; }
  DWORD GetExStyle() const { return m_exStyle; }
  // The tabs wrap into rows within the width of the widest page.
  MultiRowTabBar* GetTabBar() const { return m_tabBar; }

  PropertySheetHeader m_psh;

 private:
  friend class CPropertyPage;
  BOOL CreateSheetWindow(QWidget* owner, bool modal);
  void ApplyWindowStyle();
  void ApplyTitle();
  void BuildButtons(QWidget* row);
  void ResetSystemMenu();
  void AddTab(CPropertyPage* page);
  void OnTabChanged(int index);
  void ActivatePage(int index);
  bool ApplyPages();
  void PressOk();
  void PressCancel();
  void PressApply();
  bool HasHelp() const;
  void PageModified(CPropertyPage* page, bool changed);
  // A page being destroyed leaves the sheet.
  void ForgetPage(CPropertyPage* page);
  QPushButton* Button(int id) const;
  void ShowDefaultButtonOf(CPropertyPage* page);

  std::vector<CPropertyPage*> m_pages;
  std::vector<QPointer<QWidget>> m_containers;
  std::string m_title;
  UINT m_titleStyle = 0;
  DWORD m_style = 0;
  DWORD m_exStyle = 0;
  CMenu m_systemMenu;
  QPointer<DialogWindow> m_window;
  QPointer<MultiRowTabBar> m_tabBar;
  QPointer<QStackedWidget> m_stack;
  std::map<int, QPointer<QPushButton>> m_buttons;
  std::map<int, std::unique_ptr<CWnd>> m_buttonObjects;
  int m_activeIndex = -1;
  bool m_ended = false;
  int m_result = IDCANCEL;
};
