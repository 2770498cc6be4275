#include "CSqliteConnectionPage.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ConnectionPageRegistry.h"

namespace {
constexpr LONG kAccessBits = DB_MODE_READ | DB_MODE_WRITE;
}

CSqliteConnectionPage::CSqliteConnectionPage(QWidget* parent) : CConnectionPage(parent) {
  auto* layout = new QVBoxLayout(this);
  auto* intro = new QLabel(tr("Specify the following to connect to SQLite data:"), this);
  layout->addWidget(intro);
  layout->addWidget(CreateFileGroup());
  layout->addWidget(CreateModeGroup());
  layout->addStretch(1);
}

QGroupBox* CSqliteConnectionPage::CreateFileGroup() {
  auto* group = new QGroupBox(tr("1. Select or enter a database file name:"), this);
  auto* row = new QHBoxLayout(group);
  m_file = new QLineEdit(group);
  m_file->setObjectName("fileEdit");
  m_file->setMinimumWidth(280);
  auto* browse = new QPushButton(tr("..."), group);
  browse->setObjectName("browseButton");
  browse->setAutoDefault(false);
  browse->setToolTip(tr("Browse for a database file"));
  browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
  connect(browse, &QPushButton::clicked, this, &CSqliteConnectionPage::OnBrowse);
  row->addWidget(m_file, 1);
  row->addWidget(browse);
  return group;
}

QGroupBox* CSqliteConnectionPage::CreateModeGroup() {
  m_modeGroup = new QGroupBox(tr("2. Open the database:"), this);
  auto* column = new QVBoxLayout(m_modeGroup);
  m_readOnly = new QRadioButton(tr("&Read-only"), m_modeGroup);
  m_readOnly->setObjectName("readOnlyRadio");
  m_readWrite = new QRadioButton(tr("Read/&write"), m_modeGroup);
  m_readWrite->setObjectName("readWriteRadio");
  m_readWrite->setChecked(true);
  column->addWidget(m_readOnly);
  column->addWidget(m_readWrite);
  return m_modeGroup;
}

void CSqliteConnectionPage::OnBrowse() {
  const QFileInfo current(m_file->text());
  const QString chosen = QFileDialog::getOpenFileName(
      this, tr("Select SQLite Database"), current.absolutePath(),
      tr("SQLite databases (*.db *.sqlite *.sqlite3);;All files (*)"));
  if (!chosen.isEmpty()) m_file->setText(QDir::toNativeSeparators(chosen));
}

void CSqliteConnectionPage::Load(const CInitProperties& properties) {
  QString file = properties.Text(DBPROP_INIT_DATASOURCE);
  // On first use the field offers the sample database.
  if (file.isEmpty()) file = SampleDataSource();
  m_file->setText(file);

  m_modeGroup->setVisible(properties.Has(DBPROP_INIT_MODE));
  const LONG mode = properties.Long(DBPROP_INIT_MODE, DB_MODE_READWRITE);
  m_otherModeBits = mode & ~kAccessBits;
  const bool readOnly = (mode & kAccessBits) == DB_MODE_READ;
  m_readOnly->setChecked(readOnly);
  m_readWrite->setChecked(!readOnly);
}

bool CSqliteConnectionPage::Store(CInitProperties& properties, QString& problem) {
  if (!properties.SetText(DBPROP_INIT_DATASOURCE, m_file->text().trimmed())) {
    problem = tr("The database file name is not valid.");
    return false;
  }
  if (properties.Has(DBPROP_INIT_MODE)) {
    const LONG access = m_readOnly->isChecked() ? DB_MODE_READ : DB_MODE_READWRITE;
    properties.SetLong(DBPROP_INIT_MODE, m_otherModeBits | access);
  }
  return true;
}
