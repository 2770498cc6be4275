#include "CProviderPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CProviderPage::CProviderPage(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* prompt = new QLabel(tr("Select the data you want to connect to:"), this);
  m_list = new QListWidget(this);
  m_list->setObjectName("providerList");
  prompt->setBuddy(m_list);
  m_next = new QPushButton(tr("&Next >>"), this);
  m_next->setObjectName("nextButton");
  m_next->setAutoDefault(false);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(m_next);
  layout->addWidget(prompt);
  layout->addWidget(new QLabel(tr("OLE DB Provider(s)"), this));
  layout->addWidget(m_list, 1);
  layout->addLayout(buttons);
}

void CProviderPage::Fill(const CProviderCatalog& catalog, int selected) {
  const QSignalBlocker quiet(m_list);
  m_list->clear();
  for (const ProviderInfo& provider : catalog.Providers()) {
    auto* item = new QListWidgetItem(provider.description, m_list);
    item->setToolTip(provider.name);
  }
  m_list->setCurrentRow(selected);
  m_next->setEnabled(selected >= 0);
}

int CProviderPage::Selected() const { return m_list->currentRow(); }

void CProviderPage::OnSelectionChanged(std::function<void(int row)> handler) {
  connect(m_list, &QListWidget::currentRowChanged, this, [this, handler](int row) {
    m_next->setEnabled(row >= 0);
    if (row >= 0) handler(row);
  });
}

void CProviderPage::OnNext(std::function<void()> handler) {
  connect(m_next, &QPushButton::clicked, this, [handler] { handler(); });
  connect(m_list, &QListWidget::itemDoubleClicked, this, [handler] { handler(); });
}
