#include "CAllPropertiesPage.h"

#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { kName, kValue };
constexpr int kPropertyIdRole = Qt::UserRole;

QTableWidgetItem* NameItem(const InitProperty& item) {
  auto* cell = new QTableWidgetItem(item.description);
  cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  cell->setData(kPropertyIdRole, static_cast<uint>(item.id));
  return cell;
}

QTableWidgetItem* ValueItem(const InitProperty& item, const QString& text, const QPalette& palette) {
  auto* cell = new QTableWidgetItem(text);
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (item.IsWritable()) {
    flags |= Qt::ItemIsEditable;
  } else {
    cell->setForeground(palette.color(QPalette::Disabled, QPalette::Text));
    cell->setToolTip(QObject::tr("Read-only"));
  }
  cell->setFlags(flags);
  return cell;
}

}  // namespace

CAllPropertiesPage::CAllPropertiesPage(QWidget* parent) : CConnectionPage(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      tr("These are the initialization properties for this type of data. To edit a value, "
         "double-click it."),
      this));
  m_table = new QTableWidget(0, 2, this);
  m_table->setObjectName("allTable");
  m_table->setHorizontalHeaderLabels({tr("Name"), tr("Value")});
  m_table->verticalHeader()->hide();
  m_table->horizontalHeader()->setSectionResizeMode(kName, QHeaderView::ResizeToContents);
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  m_table->setAlternatingRowColors(true);
  m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
  layout->addWidget(m_table, 1);
}

void CAllPropertiesPage::Load(const CInitProperties& properties) {
  m_table->setRowCount(0);
  for (const InitProperty& item : properties.Items()) {
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, kName, NameItem(item));
    m_table->setItem(row, kValue, ValueItem(item, properties.Text(item.id), palette()));
  }
}

bool CAllPropertiesPage::Store(CInitProperties& properties, QString& problem) {
  for (int row = 0; row < m_table->rowCount(); ++row) {
    const QTableWidgetItem* name = m_table->item(row, kName);
    const QTableWidgetItem* value = m_table->item(row, kValue);
    if (!(value->flags() & Qt::ItemIsEditable)) continue;
    const DBPROPID id = name->data(kPropertyIdRole).toUInt();
    if (!properties.SetText(id, value->text())) {
      problem = tr("The value of \"%1\" is not valid.").arg(name->text());
      m_table->setCurrentItem(const_cast<QTableWidgetItem*>(value));
      return false;
    }
  }
  return true;
}
