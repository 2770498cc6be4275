#include "CConnectionPage.h"

#include "CPropertyFormPage.h"
#include "ConnectionPageRegistry.h"

CConnectionPage* CreateConnectionPage(REFCLSID provider, QWidget* parent) {
  if (ConnectionPageFactory own = FindConnectionPage(provider))
    if (CConnectionPage* page = own(parent)) return page;
  return new CPropertyFormPage(parent);
}
