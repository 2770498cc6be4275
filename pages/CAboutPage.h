// The last tab: the icon, name and version, and a link-style button that
// opens the project's page where updates are announced.
#pragma once

#include "CPropertyPage.h"

class CAboutPage : public CPropertyPage {
 public:
  CAboutPage();

  void OnUpdateLink();
};
