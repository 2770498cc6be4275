#include "ClassRegistry.h"

#include <algorithm>
#include <strings.h>

CClassRegistry& CClassRegistry::Instance() {
  static CClassRegistry s_registry;
  return s_registry;
}

std::optional<ClassEntry> CClassRegistry::Register(ClassEntry entry) {
  std::lock_guard lock(m_mutex);
  for (auto& existing : m_entries) {
    if (existing.clsid == entry.clsid) {
      std::optional<ClassEntry> replaced = std::move(existing);
      existing = std::move(entry);
      return replaced;
    }
  }
  m_entries.push_back(std::move(entry));
  return std::nullopt;
}

void CClassRegistry::Unregister(REFCLSID clsid) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_entries, [&](const ClassEntry& e) { return e.clsid == clsid; });
}

std::optional<ClassEntry> CClassRegistry::Find(REFCLSID clsid) const {
  std::lock_guard lock(m_mutex);
  for (const auto& e : m_entries)
    if (e.clsid == clsid) return e;
  return std::nullopt;
}

// Programmatic names compare without case, as in the system registry.
std::optional<ClassEntry> CClassRegistry::FindByProgId(const std::string& progId) const {
  std::lock_guard lock(m_mutex);
  for (const auto& e : m_entries)
    if (strcasecmp(e.progId.c_str(), progId.c_str()) == 0) return e;
  return std::nullopt;
}

std::vector<ClassEntry> CClassRegistry::Entries() const {
  std::lock_guard lock(m_mutex);
  return m_entries;
}

CScopedClassRegistration::CScopedClassRegistration(ClassEntry entry)
    : m_clsid(entry.clsid), m_replaced(CClassRegistry::Instance().Register(std::move(entry))) {}

CScopedClassRegistration::~CScopedClassRegistration() {
  if (m_replaced)
    CClassRegistry::Instance().Register(std::move(*m_replaced));
  else
    CClassRegistry::Instance().Unregister(m_clsid);
}
