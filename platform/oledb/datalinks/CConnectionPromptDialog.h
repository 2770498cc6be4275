// The prompt a provider shows while it initializes: its connection page
// alone, titled "Data Link Properties". OK writes the values back.
#pragma once

#include <QDialog>

#include "CInitProperties.h"

class CConnectionPage;

class CConnectionPromptDialog : public QDialog {
 public:
  CConnectionPromptDialog(REFCLSID provider, IDBProperties* dataSource, QWidget* owner);

  // Loads the data source's properties; fails when they cannot be read.
  HRESULT Prepare();

 private:
  void OnOk();

  IDBProperties* m_dataSource;  // the caller's; lives longer than the dialog
  CInitProperties m_properties;
  CConnectionPage* m_page = nullptr;
};

// The provider prompt (SetDataSourcePrompt) that shows the dialog.
HRESULT PromptForConnection(HWND owner, DBPROMPT prompt, REFCLSID provider, IDBProperties* dataSource);
