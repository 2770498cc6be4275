// The Connection String Builder: composes an initialization string with
// the Data Links dialog, lets the user edit and copy it, and connects the
// sheet through it.
#pragma once

#include "CDataSourceSheet.h"
#include "CEdit.h"
#include "CPropertyPage.h"
#include "CString.h"

class DARizozezPage : public CPropertyPage {
 public:
  DARizozezPage();

  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  // Puts the initialization string of a data source, password included,
  // into the edit and enables Copy. No message on failure: callers report.
  HRESULT GetInitString(IUnknown* dataSource);

  void OnBuild();
  void OnConnect();
  void OnCopy();

  CDataSourceSheet* m_pSheet = nullptr;
  CEdit m_editConnection;
  CString m_strConnection;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

 private:
  // Replaces the sheet's data source by one built from the edit's text.
  HRESULT BuildDataSourceFromText();
  void ShowConnectionCopied();
};
