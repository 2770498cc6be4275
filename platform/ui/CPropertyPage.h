// One page of a property sheet. Its window, and so its OnInitDialog, is
// created the first time its tab is shown.
#pragma once

#include "CDialog.h"

class CPropertySheet;

struct PropertyPageHeader {
  DWORD dwFlags = PSP_HASHELP;  // pages clear PSP_HASHELP to hide the Help button
};

class CPropertyPage : public CDialog {
 public:
  explicit CPropertyPage(UINT templateId);
  explicit CPropertyPage(DialogTemplate dialogTemplate);
  ~CPropertyPage() override;

  // Each activation; every one but the first starts by writing the members
  // into the controls.
  virtual BOOL OnSetActive();
  // Leaving the page: reads the controls into the members; FALSE keeps the
  // user on the page.
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();  // the sheet's OK or Apply: calls OnOK
  virtual void OnReset();  // the sheet's Cancel: calls OnCancel
  virtual BOOL OnQueryCancel() { return TRUE; }
  // Pages do not end the sheet: the sheet's buttons do.
  void OnOK() override {}
  void OnCancel() override {}

  // The sheet's broadcast; return non-zero to stop it.
  virtual LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam);
  // Sends the broadcast to every page of this page's sheet that has a
  // window (this one included); 0 when the page is in no sheet.
  LRESULT QuerySiblings(WPARAM wParam, LPARAM lParam);
  void SetModified(BOOL changed = TRUE);

  // The tab text: the template's caption.
  CString GetTitle() const;

  PropertyPageHeader m_psp;

 protected:
  void OnWindowGone() override;

 private:
  friend class CPropertySheet;
  CPropertySheet* m_sheet = nullptr;
  bool m_firstSetActive = true;
};
