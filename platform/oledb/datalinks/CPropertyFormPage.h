// The connection page of a provider without one of its own: a form of its
// writable initialization properties, each described by the provider.
#pragma once

#include <vector>

#include "CConnectionPage.h"

class QFormLayout;
class QLineEdit;

class CPropertyFormPage : public CConnectionPage {
 public:
  explicit CPropertyFormPage(QWidget* parent = nullptr);

  void Load(const CInitProperties& properties) override;
  bool Store(CInitProperties& properties, QString& problem) override;

 private:
  struct Field {
    DBPROPID id;
    QString description;
    QLineEdit* edit;
  };
  void ClearFields();

  QFormLayout* m_form = nullptr;
  std::vector<Field> m_fields;
};
