#include "CPropertyFormPage.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// Values nobody types here: the owner window and whether to prompt are the
// program's business (the "All" tab still shows them).
bool ShownInForm(const InitProperty& item) {
  return item.IsWritable() && item.id != DBPROP_INIT_HWND && item.id != DBPROP_INIT_PROMPT;
}

}  // namespace

CPropertyFormPage::CPropertyFormPage(QWidget* parent) : CConnectionPage(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(tr("Specify the following to connect to this data source:"), this));
  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  auto* body = new QWidget(scroll);
  m_form = new QFormLayout(body);
  m_form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  scroll->setWidget(body);
  scroll->viewport()->setAutoFillBackground(false);
  body->setAutoFillBackground(false);
  layout->addWidget(scroll, 1);
}

void CPropertyFormPage::ClearFields() {
  while (m_form->rowCount() > 0) m_form->removeRow(0);
  m_fields.clear();
}

void CPropertyFormPage::Load(const CInitProperties& properties) {
  ClearFields();
  for (const InitProperty& item : properties.Items()) {
    if (!ShownInForm(item)) continue;
    auto* edit = new QLineEdit(properties.Text(item.id));
    edit->setObjectName(QStringLiteral("property%1").arg(item.id));
    if (item.id == DBPROP_AUTH_PASSWORD) edit->setEchoMode(QLineEdit::Password);
    m_form->addRow(item.description + QLatin1Char(':'), edit);
    m_fields.push_back({item.id, item.description, edit});
  }
  if (m_fields.empty()) m_form->addRow(new QLabel(tr("This provider needs no initialization properties.")));
}

bool CPropertyFormPage::Store(CInitProperties& properties, QString& problem) {
  for (const Field& field : m_fields) {
    if (!properties.SetText(field.id, field.edit->text())) {
      problem = tr("The value of \"%1\" is not valid.").arg(field.description);
      field.edit->setFocus();
      return false;
    }
  }
  return true;
}
