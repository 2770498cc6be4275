#include "DialogTemplate.h"

#include <map>
#include <memory>

namespace {

// Entries are never erased, only replaced in place, so pointers handed out
// stay valid for dialogs that are open.
std::map<int, std::unique_ptr<DialogTemplate>>& Registry() {
  static std::map<int, std::unique_ptr<DialogTemplate>> registry;
  return registry;
}

}  // namespace

void RegisterDialogTemplate(DialogTemplate dialogTemplate) {
  auto& slot = Registry()[dialogTemplate.id];
  if (slot)
    *slot = std::move(dialogTemplate);
  else
    slot = std::make_unique<DialogTemplate>(std::move(dialogTemplate));
}

const DialogTemplate* FindDialogTemplate(int id) {
  const auto found = Registry().find(id);
  return found == Registry().end() ? nullptr : found->second.get();
}
