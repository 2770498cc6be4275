#include "Resources.h"

#include "ResourceIds.h"
#include "StringTable.h"

void RegisterStrings() { RegisterStringResource(IDS_ABOUTBOX, "&About Ravezov..."); }

void RegisterAllResources() {
  RegisterDialogTemplates();
  RegisterStrings();
  RegisterIcons();
}
