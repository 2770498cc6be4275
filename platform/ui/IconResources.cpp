#include "IconResources.h"

#include <map>

namespace {

std::map<int, QIcon>& Registry() {
  static std::map<int, QIcon> registry;
  return registry;
}

}  // namespace

void RegisterIconResource(int id, const QIcon& icon) { Registry()[id] = icon; }

QIcon LoadIconResource(int id) {
  const auto found = Registry().find(id);
  return found == Registry().end() ? QIcon() : found->second;
}
