// The "All" tab: every initialization property of the provider with its
// value; the writable ones are edited in place.
#pragma once

#include "CConnectionPage.h"

class QTableWidget;

class CAllPropertiesPage : public CConnectionPage {
 public:
  explicit CAllPropertiesPage(QWidget* parent = nullptr);

  void Load(const CInitProperties& properties) override;
  bool Store(CInitProperties& properties, QString& problem) override;

 private:
  QTableWidget* m_table = nullptr;
};
