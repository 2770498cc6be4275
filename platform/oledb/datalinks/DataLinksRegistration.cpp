#include "DataLinksRegistration.h"

#include "CConnectionPromptDialog.h"
#include "CDataLinks.h"
#include "ClassRegistry.h"
#include "PromptService.h"

namespace {

ClassEntry DataLinksClass() {
  ClassEntry entry;
  entry.clsid = CLSID_DataLinks;
  entry.progId = "Ravezov.DataLinks";
  entry.description = "Data Links";
  entry.kind = ClassKind::Service;
  entry.factory = [](REFIID riid, void** ppv) {
    return CDataLinks::CreateInstance<CDataLinks>(riid, ppv);
  };
  return entry;
}

// Registers the prompt as a side effect of construction, beside the class.
struct CPromptRegistrar {
  CPromptRegistrar() { SetDataSourcePrompt(PromptForConnection); }
};

const CClassRegistrar g_dataLinksClass(DataLinksClass());
const CPromptRegistrar g_connectionPrompt;

}  // namespace

void RegisterDataLinks() {
  CClassRegistry::Instance().Register(DataLinksClass());
  SetDataSourcePrompt(PromptForConnection);
}
