// The Command Processor: command text run on the connected data source
// through one command object. Execution is still to come.
#pragma once

#include "CDataSourcePage.h"
#include "CString.h"

class CCommandPage : public CDataSourcePage {
 public:
  CCommandPage();
  ~CCommandPage() override;

  BOOL OnInitDialog() override;
  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  ICommandText* m_pCommandText = nullptr;
  CString m_strCommand;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pCommandText != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override;
  void ShowAttachFailure() override;
};
