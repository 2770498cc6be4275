// The in-process class registry behind CoCreateInstance.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "unknwn.h"

enum class ClassKind { Provider, Enumerator, Service, Other };

// Creates an instance and queries it for riid; aggregation is not supported.
using ClassFactoryFn = std::function<HRESULT(REFIID riid, void** ppv)>;

struct ClassEntry {
  CLSID clsid;
  std::string progId;       // programmatic name, e.g. "Ravezov.SQLite"
  std::string description;  // shown by enumerators
  ClassKind kind = ClassKind::Other;
  ClassFactoryFn factory;
};

class CClassRegistry {
 public:
  static CClassRegistry& Instance();

  // Adds a class, or replaces the one with the same CLSID (tests override
  // built-in classes this way). Returns the replaced entry, if any.
  std::optional<ClassEntry> Register(ClassEntry entry);
  void Unregister(REFCLSID clsid);

  std::optional<ClassEntry> Find(REFCLSID clsid) const;
  std::optional<ClassEntry> FindByProgId(const std::string& progId) const;
  // In registration order.
  std::vector<ClassEntry> Entries() const;

 private:
  mutable std::mutex m_mutex;
  std::vector<ClassEntry> m_entries;
};

// Registers a class for the lifetime of a static object; used by built-in
// classes at start-up.
struct CClassRegistrar {
  explicit CClassRegistrar(ClassEntry entry) { CClassRegistry::Instance().Register(std::move(entry)); }
};

// Registers a class for a scope and puts back what it replaced; for tests.
class CScopedClassRegistration {
 public:
  explicit CScopedClassRegistration(ClassEntry entry);
  ~CScopedClassRegistration();
  CScopedClassRegistration(const CScopedClassRegistration&) = delete;
  CScopedClassRegistration& operator=(const CScopedClassRegistration&) = delete;

 private:
  CLSID m_clsid;
  std::optional<ClassEntry> m_replaced;
};
