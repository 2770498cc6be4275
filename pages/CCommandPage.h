// The Command Processor: command text run on the connected data source
// through one command object, its rows shown in an editable viewer and, for
// a command without rows, what it did on a status line.
#pragma once

#include "CDataSourcePage.h"
#include "CString.h"

class CCommandPage : public CDataSourcePage {
 public:
  CCommandPage();
  ~CCommandPage() override;

  BOOL OnSetActive() override;
  LRESULT OnQuerySiblings(WPARAM wParam, LPARAM lParam) override;

  // Opens a session on the data source (not kept) and creates the page's
  // command object. Failures are reported with the provider's records.
  HRESULT GetCommandObject(IDBInitialize* pDataSource);

  void OnConnect();
  void OnExecute();
  void OnChangeCommand();

  ICommandText* m_pCommandText = nullptr;
  CString m_strCommand;

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  bool IsConnected() const override { return m_pCommandText != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override { return GetCommandObject(dataSource); }
  void ShowAttachFailure() override;

 private:
  enum class RunResult { Done, Failed, NotUpdatable };

  bool SetCommandText();
  // One execution under the updatable (or read-only) rowset properties.
  // Failures are reported, except a refusal of the updatable properties
  // alone, which the caller answers by running read-only.
  RunResult Run(bool updatable, IRowset** rowset, DBROWCOUNT* rowsAffected);
  bool OnlyChangingInError(ICommandProperties* properties);
  void ShowRows(IRowset* rowset, bool editable);
  void SetStatus(LPCSTR text);
  void FocusCommand();
};
