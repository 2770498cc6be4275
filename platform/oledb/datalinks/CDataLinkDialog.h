// "Data Link Properties": choose a provider, fill its initialization
// properties, test them, and on OK build an uninitialized data source.
#pragma once

#include <QDialog>

#include "CInitProperties.h"
#include "CProviderCatalog.h"
#include "ComPtr.h"
#include "msdasc.h"

class CAllPropertiesPage;
class CConnectionPage;
class CProviderPage;
class QPushButton;
class QTabWidget;
class QVBoxLayout;

struct DataLinkRequest {
  DBPROMPTOPTIONS options = DBPROMPTOPTIONS_PROPERTYSHEET;
  IID riid = IID_IUnknown;
  // Editing an existing data source: its provider and properties.
  ComPtr<IDBProperties> existing;
  CLSID existingProvider = GUID_NULL;
};

class CDataLinkDialog : public QDialog {
 public:
  CDataLinkDialog(CProviderCatalog catalog, DataLinkRequest request, QWidget* owner);

  // After OK: the data source and the status of building it.
  HRESULT Result() const { return m_resultStatus; }
  ComPtr<IUnknown> DataSource() const { return m_result; }

 private:
  enum Tab { kProviderTab, kConnectionTab, kAllTab };

  QWidget* CreateButtonRow();
  int InitialProviderRow() const;
  void SelectProvider(int row);
  void ReplaceConnectionPage();
  void OnTabChanged(int index);
  CConnectionPage* PageOfTab(int index) const;
  bool StoreShownPage();
  void OnTestConnection();
  void OnOk();
  HRESULT BuildDataSource(ComPtr<IDBProperties>& dataSource);
  bool ApplyTo(IDBProperties* target, CInitProperties::Scope scope);

  CProviderCatalog m_catalog;
  DataLinkRequest m_request;
  CLSID m_provider = GUID_NULL;
  CInitProperties m_properties;

  QTabWidget* m_tabs = nullptr;
  CProviderPage* m_providerPage = nullptr;
  QWidget* m_connectionTab = nullptr;
  QVBoxLayout* m_connectionLayout = nullptr;
  CConnectionPage* m_connectionPage = nullptr;
  CAllPropertiesPage* m_allPage = nullptr;
  QPushButton* m_test = nullptr;
  QPushButton* m_ok = nullptr;
  int m_shownTab = kProviderTab;
  bool m_switchingBack = false;

  ComPtr<IUnknown> m_result;
  HRESULT m_resultStatus = DB_E_CANCELED;
};
