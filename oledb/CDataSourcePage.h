// A tool page that connects through the sheet's Data Links routine and
// works on interfaces of its own obtained from the current data source.
// Derived pages say whether they hold a connection, how they attach to a
// data source and what they report when attaching fails.
#pragma once

#include "CDataSourceSheet.h"
#include "CPropertyPage.h"

class CDataSourcePage : public CPropertyPage {
 public:
  // Pages show no Help button.
  explicit CDataSourcePage(UINT templateId);

  // Takes the sheet from the parent window and, when the page holds no
  // connection, attaches at once to the sheet's current data source.
  BOOL OnSetActive() override;

 protected:
  // The Connect button: ask before replacing a connection, tell every page
  // to drop its own, connect through the sheet, then attach. True only when
  // the page attached to a new data source.
  bool ConnectThroughSheet();
  // The pick-up of OnSetActive, after the framework's part: takes the sheet
  // and attaches when the page holds nothing. False only when attaching was
  // tried and failed (the failure is shown).
  bool PickUpSheetDataSource();

  virtual bool IsConnected() const = 0;
  // Obtains the page's own interfaces from the data source (which the page
  // neither keeps nor releases) and fills the page.
  virtual HRESULT AttachDataSource(IDBInitialize* dataSource) = 0;
  virtual void ShowAttachFailure() = 0;

  CDataSourceSheet* m_pSheet = nullptr;

 private:
  bool Attach(IDBInitialize* dataSource);
};
