// The ODBC provider's connection page: a data source name picked from the
// machine's DSNs or a connection string typed, the user name and password,
// and the initial catalog.
#pragma once

#include "CConnectionPage.h"

class QComboBox;
class QLineEdit;
class QRadioButton;

class COdbcConnectionPage : public CConnectionPage {
 public:
  explicit COdbcConnectionPage(QWidget* parent = nullptr);

  void Load(const CInitProperties& properties) override;
  bool Store(CInitProperties& properties, QString& problem) override;

 private:
  QWidget* CreateSourceGroup();
  QWidget* CreateLogonGroup();
  void FillDataSourceNames();
  void OnSourceKindChanged();

  QRadioButton* m_useDsn = nullptr;
  QRadioButton* m_useString = nullptr;
  QComboBox* m_dsn = nullptr;
  QLineEdit* m_connectionString = nullptr;
  QLineEdit* m_user = nullptr;
  QLineEdit* m_password = nullptr;
  QLineEdit* m_catalog = nullptr;
};
