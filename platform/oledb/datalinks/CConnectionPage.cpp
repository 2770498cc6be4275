#include "CConnectionPage.h"

#include "CPropertyFormPage.h"
#include "CSqliteConnectionPage.h"
#include "SqliteProvider.h"

CConnectionPage* CreateConnectionPage(REFCLSID provider, QWidget* parent) {
  if (provider == CLSID_RavezovSQLite) return new CSqliteConnectionPage(parent);
  return new CPropertyFormPage(parent);
}
