#include "ConnectionPageRegistry.h"

#include <mutex>
#include <utility>
#include <vector>

namespace {

struct Registry {
  std::mutex mutex;
  std::vector<std::pair<CLSID, ConnectionPageFactory>> pages;  // in registration order
  std::function<QString()> sample;
};

// Built on first use: pages register from static objects of other libraries.
Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

void RegisterConnectionPage(REFCLSID provider, ConnectionPageFactory factory) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (auto& [clsid, existing] : r.pages) {
    if (clsid == provider) {
      existing = std::move(factory);
      return;
    }
  }
  r.pages.emplace_back(provider, std::move(factory));
}

ConnectionPageFactory FindConnectionPage(REFCLSID provider) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  for (const auto& [clsid, factory] : r.pages)
    if (clsid == provider) return factory;
  return {};
}

CLSID DefaultConnectionProvider() {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  return r.pages.empty() ? GUID_NULL : r.pages.front().first;
}

void SetSampleDataSource(std::function<QString()> sample) {
  Registry& r = TheRegistry();
  std::lock_guard lock(r.mutex);
  r.sample = std::move(sample);
}

QString SampleDataSource() {
  std::function<QString()> sample;
  {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.mutex);
    sample = r.sample;
  }
  return sample ? sample() : QString();
}
