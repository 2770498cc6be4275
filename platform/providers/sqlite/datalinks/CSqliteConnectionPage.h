// The SQLite provider's connection page: the database file and whether it
// is opened read-only or read/write.
#pragma once

#include "CConnectionPage.h"

class QGroupBox;
class QLineEdit;
class QRadioButton;

class CSqliteConnectionPage : public CConnectionPage {
 public:
  explicit CSqliteConnectionPage(QWidget* parent = nullptr);

  void Load(const CInitProperties& properties) override;
  bool Store(CInitProperties& properties, QString& problem) override;

 private:
  QGroupBox* CreateFileGroup();
  QGroupBox* CreateModeGroup();
  void OnBrowse();

  QLineEdit* m_file = nullptr;
  QGroupBox* m_modeGroup = nullptr;
  QRadioButton* m_readOnly = nullptr;
  QRadioButton* m_readWrite = nullptr;
  LONG m_otherModeBits = 0;  // sharing bits the page leaves as they were
};
