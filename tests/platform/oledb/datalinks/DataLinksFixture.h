// A test with the apartment, the fake provider registered, message boxes
// recorded, and PromptDataSource called the way the application calls it.
#pragma once

#include <QListWidget>
#include <QWidget>
#include <string>

#include "ComPtr.h"
#include "DataLinksTestSupport.h"
#include "FakeProvider.h"
#include "msdasc.h"

class DataLinksTest : public testing::Test {
 protected:
  HRESULT Prompt(ComPtr<IUnknown>& dataSource, const std::function<void(QDialog&)>& script,
                 LPCOLESTR providerFilter = nullptr) {
    ComPtr<IDBPromptInitialize> links;
    HRESULT hr = CoCreateInstance(CLSID_DataLinks, nullptr, CLSCTX_INPROC_SERVER, IID_IDBPromptInitialize,
                                  links.ReleaseAndGetVoidAddress());
    if (FAILED(hr)) return hr;
    CDialogScript driver(script);
    IUnknown* raw = dataSource.Detach();
    hr = links->PromptDataSource(nullptr, nullptr, DBPROMPTOPTIONS_PROPERTYSHEET, 0, nullptr, providerFilter,
                                 IID_IDBInitialize, &raw);
    dataSource.Attach(raw);
    m_dialogsShown = driver.Shown();
    return hr;
  }

  static void SelectProvider(QDialog& dialog, const QString& description) {
    auto* list = Child<QListWidget>(dialog, "providerList");
    if (!list) return;
    const auto found = list->findItems(description, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << description.toStdString();
    list->setCurrentItem(found.front());
  }

  CComScope m_com;
  CScopedClassRegistration m_fake{FakeProviderEntry()};
  CMessageBoxRecorder m_boxes;
  int m_dialogsShown = 0;
};

// A Data Links test whose data sources prompt while they initialize, owned
// by m_owner.
class PromptingDataLinksTest : public DataLinksTest {
 protected:
  // A data source of `provider` asked to prompt as `prompt` says.
  ComPtr<IDBInitialize> PromptingDataSource(REFCLSID provider, DBPROMPT prompt) {
    ComPtr<IDBInitialize> dataSource;
    EXPECT_EQ(CoCreateInstance(provider, nullptr, CLSCTX_INPROC_SERVER, IID_IDBInitialize,
                               dataSource.ReleaseAndGetVoidAddress()),
              S_OK);
    if (!dataSource) return dataSource;
    DBPROP props[2] = {};
    props[0].dwPropertyID = DBPROP_INIT_PROMPT;
    props[0].vValue.vt = VT_I2;
    props[0].vValue.iVal = static_cast<SHORT>(prompt);
    props[1].dwPropertyID = DBPROP_INIT_HWND;
    props[1].vValue.vt = VT_I8;
    props[1].vValue.llVal = reinterpret_cast<intptr_t>(static_cast<QWidget*>(&m_owner));
    DBPROPSET set{props, 2, DBPROPSET_DBINIT};
    EXPECT_EQ(dataSource.As<IDBProperties>()->SetProperties(1, &set), S_OK);
    return dataSource;
  }

  QWidget m_owner;
};

// One initialization property of a data source as text, or "<unset>".
std::string InitPropertyText(IUnknown* dataSource, DBPROPID id);
