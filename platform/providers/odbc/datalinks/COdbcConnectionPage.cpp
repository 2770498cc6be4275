#include "COdbcConnectionPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "COdbcEnumerator.h"

COdbcConnectionPage::COdbcConnectionPage(QWidget* parent) : CConnectionPage(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Specify the following to connect to ODBC data:"), this));
  layout->addWidget(CreateSourceGroup());
  layout->addWidget(CreateLogonGroup());
  auto* catalogGroup = new QGroupBox(tr("3. Enter the initial catalog to use:"), this);
  auto* catalogRow = new QVBoxLayout(catalogGroup);
  m_catalog = new QLineEdit(catalogGroup);
  m_catalog->setObjectName("catalogEdit");
  catalogRow->addWidget(m_catalog);
  layout->addWidget(catalogGroup);
  layout->addStretch(1);
  FillDataSourceNames();
  OnSourceKindChanged();
}

QWidget* COdbcConnectionPage::CreateSourceGroup() {
  auto* group = new QGroupBox(tr("1. Specify the source of data:"), this);
  auto* column = new QVBoxLayout(group);
  m_useDsn = new QRadioButton(tr("Use &data source name"), group);
  m_useDsn->setObjectName("useDsnRadio");
  m_useDsn->setChecked(true);
  m_dsn = new QComboBox(group);
  m_dsn->setObjectName("dsnCombo");
  m_dsn->setEditable(true);
  m_useString = new QRadioButton(tr("Use c&onnection string"), group);
  m_useString->setObjectName("useStringRadio");
  m_connectionString = new QLineEdit(group);
  m_connectionString->setObjectName("connectionStringEdit");
  column->addWidget(m_useDsn);
  column->addWidget(m_dsn);
  column->addWidget(m_useString);
  column->addWidget(m_connectionString);
  connect(m_useDsn, &QRadioButton::toggled, this, &COdbcConnectionPage::OnSourceKindChanged);
  return group;
}

QWidget* COdbcConnectionPage::CreateLogonGroup() {
  auto* group = new QGroupBox(tr("2. Enter information to log on to the server:"), this);
  auto* form = new QFormLayout(group);
  m_user = new QLineEdit(group);
  m_user->setObjectName("userEdit");
  m_password = new QLineEdit(group);
  m_password->setObjectName("passwordEdit");
  m_password->setEchoMode(QLineEdit::Password);
  form->addRow(tr("&User name:"), m_user);
  form->addRow(tr("&Password:"), m_password);
  return group;
}

void COdbcConnectionPage::FillDataSourceNames() {
  std::vector<SourceRow> sources;
  ListOdbcDataSources(sources);
  for (const SourceRow& s : sources)
    m_dsn->addItem(QString::fromUtf8(s.name), QString::fromUtf8(s.description));
}

void COdbcConnectionPage::OnSourceKindChanged() {
  m_dsn->setEnabled(m_useDsn->isChecked());
  m_connectionString->setEnabled(!m_useDsn->isChecked());
}

void COdbcConnectionPage::Load(const CInitProperties& properties) {
  const QString extended = properties.Text(DBPROP_INIT_PROVIDERSTRING);
  m_connectionString->setText(extended);
  m_dsn->setCurrentText(properties.Text(DBPROP_INIT_DATASOURCE));
  const bool useString = !extended.isEmpty() && properties.Text(DBPROP_INIT_DATASOURCE).isEmpty();
  m_useString->setChecked(useString);
  m_useDsn->setChecked(!useString);
  m_user->setText(properties.Text(DBPROP_AUTH_USERID));
  m_password->setText(properties.Text(DBPROP_AUTH_PASSWORD));
  m_catalog->setText(properties.Text(DBPROP_INIT_CATALOG));
  OnSourceKindChanged();
}

bool COdbcConnectionPage::Store(CInitProperties& properties, QString& problem) {
  const bool useDsn = m_useDsn->isChecked();
  const QString dsn = useDsn ? m_dsn->currentText().trimmed() : QString();
  const QString extended = useDsn ? QString() : m_connectionString->text().trimmed();
  // Nothing chosen yet is stored as such: the provider says so when it is
  // asked to connect, and moving between tabs stays quiet.
  const bool stored = properties.SetText(DBPROP_INIT_DATASOURCE, dsn) &&
                      properties.SetText(DBPROP_INIT_PROVIDERSTRING, extended) &&
                      properties.SetText(DBPROP_AUTH_USERID, m_user->text()) &&
                      properties.SetText(DBPROP_AUTH_PASSWORD, m_password->text()) &&
                      properties.SetText(DBPROP_INIT_CATALOG, m_catalog->text().trimmed());
  if (!stored) problem = tr("A value does not fit its property.");
  return stored;
}
