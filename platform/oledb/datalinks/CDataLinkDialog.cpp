#include "CDataLinkDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CAllPropertiesPage.h"
#include "CConnectionPage.h"
#include "CProviderPage.h"
#include "CWaitCursor.h"
#include "ConnectionPageRegistry.h"
#include "DataLinkMessage.h"
#include "ErrorRecordBoxes.h"

CDataLinkDialog::CDataLinkDialog(CProviderCatalog catalog, DataLinkRequest request, QWidget* owner)
    : QDialog(owner), m_catalog(std::move(catalog)), m_request(std::move(request)) {
  setWindowTitle(tr("Data Link Properties"));
  setObjectName("dataLinkDialog");
  auto* layout = new QVBoxLayout(this);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName("tabs");
  m_providerPage = new CProviderPage(m_tabs);
  m_connectionTab = new QWidget(m_tabs);
  m_connectionLayout = new QVBoxLayout(m_connectionTab);
  m_connectionLayout->setContentsMargins(0, 0, 0, 0);
  m_allPage = new CAllPropertiesPage(m_tabs);
  m_tabs->addTab(m_providerPage, tr("Provider"));
  m_tabs->addTab(m_connectionTab, tr("Connection"));
  m_tabs->addTab(m_allPage, tr("All"));
  layout->addWidget(m_tabs, 1);
  layout->addWidget(CreateButtonRow());
  resize(480, 500);

  const bool fixedProvider = m_request.existing || (m_request.options & DBPROMPTOPTIONS_DISABLE_PROVIDER_SELECTION);
  const int row = InitialProviderRow();
  m_providerPage->Fill(m_catalog, row);
  m_providerPage->setEnabled(!fixedProvider);
  m_providerPage->OnSelectionChanged([this](int selected) { SelectProvider(selected); });
  m_providerPage->OnNext([this] { m_tabs->setCurrentIndex(kConnectionTab); });
  SelectProvider(row);
  if (m_request.options & DBPROMPTOPTIONS_BROWSEONLY) {
    m_connectionTab->setEnabled(false);
    m_allPage->setEnabled(false);
  }
  connect(m_tabs, &QTabWidget::currentChanged, this, &CDataLinkDialog::OnTabChanged);
  m_tabs->setCurrentIndex(m_request.existing ? kConnectionTab : kProviderTab);
}

QWidget* CDataLinkDialog::CreateButtonRow() {
  auto* row = new QWidget(this);
  auto* buttons = new QHBoxLayout(row);
  buttons->setContentsMargins(0, 0, 0, 0);
  m_test = new QPushButton(tr("&Test Connection"), row);
  m_test->setObjectName("testButton");
  m_test->setAutoDefault(false);
  m_ok = new QPushButton(tr("OK"), row);
  m_ok->setObjectName("okButton");
  m_ok->setDefault(true);
  auto* cancel = new QPushButton(tr("Cancel"), row);
  cancel->setObjectName("cancelButton");
  cancel->setAutoDefault(false);
  buttons->addWidget(m_test);
  buttons->addStretch(1);
  buttons->addWidget(m_ok);
  buttons->addWidget(cancel);
  connect(m_test, &QPushButton::clicked, this, &CDataLinkDialog::OnTestConnection);
  connect(m_ok, &QPushButton::clicked, this, &CDataLinkDialog::OnOk);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  return row;
}

int CDataLinkDialog::InitialProviderRow() const {
  if (m_request.existing) return m_catalog.IndexOf(m_request.existingProvider);
  const int preferred = m_catalog.IndexOf(DefaultConnectionProvider());
  if (preferred >= 0) return preferred;
  return m_catalog.Providers().empty() ? -1 : 0;
}

void CDataLinkDialog::SelectProvider(int row) {
  m_properties = CInitProperties();
  m_provider = m_request.existing ? m_request.existingProvider
               : row >= 0         ? m_catalog.Providers()[static_cast<size_t>(row)].clsid
                                  : GUID_NULL;
  const bool known = m_request.existing || row >= 0;
  m_test->setEnabled(known);
  m_ok->setEnabled(known);
  if (m_request.existing) {
    m_properties.LoadFrom(m_request.existing);
  } else if (known) {
    // A scratch data source of the provider describes its properties.
    ComPtr<IDBProperties> scratch;
    HRESULT hr = CoCreateInstance(m_provider, nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                                  scratch.ReleaseAndGetVoidAddress());
    if (SUCCEEDED(hr)) hr = m_properties.LoadFrom(scratch);
    if (FAILED(hr)) ShowErrorRecordBoxes(this, hr, "The provider's properties could not be read.", kDataLinkCaption);
  }
  ReplaceConnectionPage();
  m_allPage->Load(m_properties);
}

void CDataLinkDialog::ReplaceConnectionPage() {
  delete m_connectionPage;
  m_connectionPage = CreateConnectionPage(m_provider, m_connectionTab);
  m_connectionLayout->addWidget(m_connectionPage);
  m_connectionPage->Load(m_properties);
}

CConnectionPage* CDataLinkDialog::PageOfTab(int index) const {
  if (index == kConnectionTab) return m_connectionPage;
  if (index == kAllTab) return m_allPage;
  return nullptr;
}

// From the Provider tab, the connection page stands for the values: it
// holds them as last shown (or as a caller filled them in).
bool CDataLinkDialog::StoreShownPage() {
  CConnectionPage* page = PageOfTab(m_shownTab == kProviderTab ? kConnectionTab : m_shownTab);
  QString problem;
  if (!page || page->Store(m_properties, problem)) return true;
  ShowDataLinkMessage(this, problem, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

// Values typed on one page show on the other as soon as it is selected.
void CDataLinkDialog::OnTabChanged(int index) {
  if (m_switchingBack) return;
  if (!StoreShownPage()) {
    m_switchingBack = true;
    m_tabs->setCurrentIndex(m_shownTab);
    m_switchingBack = false;
    return;
  }
  m_shownTab = index;
  if (CConnectionPage* page = PageOfTab(index)) page->Load(m_properties);
}

bool CDataLinkDialog::ApplyTo(IDBProperties* target, CInitProperties::Scope scope) {
  QStringList rejected;
  const HRESULT hr = m_properties.ApplyTo(target, scope, &rejected);
  if (SUCCEEDED(hr)) return true;
  ShowPropertiesNotSet(this, hr, rejected);
  return false;
}

HRESULT CDataLinkDialog::BuildDataSource(ComPtr<IDBProperties>& dataSource) {
  HRESULT hr = CoCreateInstance(m_provider, nullptr, CLSCTX_INPROC_SERVER, IID_IDBProperties,
                                dataSource.ReleaseAndGetVoidAddress());
  if (FAILED(hr)) {
    ShowErrorRecordBoxes(this, hr, "The provider could not be created.", kDataLinkCaption);
    return hr;
  }
  if (!ApplyTo(dataSource, CInitProperties::Scope::AllWithValues)) {
    dataSource.Reset();
    return DB_E_ERRORSOCCURRED;
  }
  return S_OK;
}

// Initializes a copy, so the data source OK returns stays uninitialized.
void CDataLinkDialog::OnTestConnection() {
  if (!StoreShownPage()) return;
  ComPtr<IDBProperties> copy;
  if (FAILED(BuildDataSource(copy))) return;
  ComPtr<IDBInitialize> initialize = copy.As<IDBInitialize>();
  if (!initialize) {
    ShowDataLinkMessage(this, tr("The provider cannot be initialized."), MB_OK | MB_ICONERROR);
    return;
  }
  HRESULT hr;
  {
    CWaitCursor wait;
    SetErrorInfo(0, nullptr);
    hr = initialize->Initialize();
  }
  if (SUCCEEDED(hr)) {
    ShowDataLinkMessage(this, tr("Test connection succeeded."), MB_OK | MB_ICONINFORMATION);
  } else if (hr != DB_E_CANCELED) {
    ShowErrorRecordBoxes(this, hr, "Test connection failed.", kDataLinkCaption);
  }
}

void CDataLinkDialog::OnOk() {
  if (!StoreShownPage()) return;
  ComPtr<IDBProperties> dataSource = m_request.existing;
  if (dataSource) {
    if (!ApplyTo(dataSource, CInitProperties::Scope::ChangedOnly)) return;
  } else if (FAILED(BuildDataSource(dataSource))) {
    return;
  }
  m_resultStatus = dataSource->QueryInterface(m_request.riid, m_result.ReleaseAndGetVoidAddress());
  accept();
}
