// The data source prompt registered by the user interface.
#include "PromptService.h"

#include <mutex>
#include <utility>

namespace {

std::mutex& PromptMutex() {
  static std::mutex mutex;
  return mutex;
}

DataSourcePrompt& RegisteredPrompt() {
  static DataSourcePrompt prompt;
  return prompt;
}

}  // namespace

DataSourcePrompt SetDataSourcePrompt(DataSourcePrompt prompt) {
  std::lock_guard lock(PromptMutex());
  return std::exchange(RegisteredPrompt(), std::move(prompt));
}

DataSourcePrompt GetDataSourcePrompt() {
  std::lock_guard lock(PromptMutex());
  return RegisteredPrompt();
}
