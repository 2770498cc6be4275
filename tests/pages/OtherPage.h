// A page that connects through the sheet and holds the data source's
// IDBProperties: "another page" of the sheet, on a dialog of its own
// that is not the page under test's. Header-only.
#pragma once

#include "CDataSourcePage.h"
#include "ReleaseInterface.h"

namespace pagetest {

template <UINT DialogId>
class OtherPage : public CDataSourcePage {
 public:
  OtherPage() : CDataSourcePage(DialogId) {}
  ~OtherPage() override { ReleaseInterface(m_held); }
  LRESULT OnQuerySiblings(WPARAM, LPARAM) override {
    ReleaseInterface(m_held);
    return 0;
  }
  void Connect() { ConnectThroughSheet(); }
  IDBProperties* m_held = nullptr;

 protected:
  bool IsConnected() const override { return m_held != nullptr; }
  HRESULT AttachDataSource(IDBInitialize* dataSource) override {
    return dataSource->QueryInterface(IID_IDBProperties, reinterpret_cast<void**>(&m_held));
  }
  void ShowAttachFailure() override {}
};

}  // namespace pagetest
