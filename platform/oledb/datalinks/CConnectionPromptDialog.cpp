#include "CConnectionPromptDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "CConnectionPage.h"
#include "DataLinkMessage.h"
#include "DataLinksTestHook.h"
#include "HwndMap.h"

CConnectionPromptDialog::CConnectionPromptDialog(REFCLSID provider, IDBProperties* dataSource,
                                                 QWidget* owner)
    : QDialog(owner), m_dataSource(dataSource) {
  setWindowTitle(tr("Data Link Properties"));
  setObjectName("connectionPromptDialog");
  auto* layout = new QVBoxLayout(this);
  m_page = CreateConnectionPage(provider, this);
  layout->addWidget(m_page, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName("okButton");
  buttons->button(QDialogButtonBox::Cancel)->setObjectName("cancelButton");
  connect(buttons, &QDialogButtonBox::accepted, this, &CConnectionPromptDialog::OnOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  resize(440, 260);
}

HRESULT CConnectionPromptDialog::Prepare() {
  HRESULT hr = m_properties.LoadFrom(m_dataSource);
  if (SUCCEEDED(hr)) m_page->Load(m_properties);
  return hr;
}

void CConnectionPromptDialog::OnOk() {
  QString problem;
  if (!m_page->Store(m_properties, problem)) {
    ShowDataLinkMessage(this, problem, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  QStringList rejected;
  const HRESULT hr = m_properties.ApplyTo(m_dataSource, CInitProperties::Scope::ChangedOnly, &rejected);
  if (FAILED(hr)) {
    ShowPropertiesNotSet(this, hr, rejected);
    return;
  }
  accept();
}

HRESULT PromptForConnection(HWND owner, DBPROMPT prompt, REFCLSID provider, IDBProperties* dataSource) {
  if (!dataSource) return E_INVALIDARG;
  if (prompt == DBPROMPT_NOPROMPT) return E_INVALIDARG;
  // Without an application object there is no screen to prompt on.
  if (!QApplication::instance()) return E_UNEXPECTED;
  CConnectionPromptDialog dialog(provider, dataSource, WidgetFromHwnd(owner));
  const HRESULT hr = dialog.Prepare();
  if (FAILED(hr)) return hr;
  return ExecDataLinksDialog(dialog) == QDialog::Accepted ? S_OK : DB_E_CANCELED;
}
