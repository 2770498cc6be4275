// The providers the root enumerator lists, as the Provider tab shows them.
#pragma once

#include <QString>
#include <vector>

#include "oledb.h"

struct ProviderInfo {
  QString name;         // programmatic name
  QString description;  // what the user sees
  CLSID clsid = GUID_NULL;
};

class CProviderCatalog {
 public:
  // Reads the rows of type DBSOURCETYPE_DATASOURCE_TDP from the root enumerator.
  HRESULT Load();
  // Keeps the providers whose class is in a list of class-identifier strings
  // (each NUL-terminated, ended by an empty one).
  void KeepOnly(LPCOLESTR multiStringFilter);

  const std::vector<ProviderInfo>& Providers() const { return m_providers; }
  // Position of a provider's class, or -1.
  int IndexOf(REFCLSID clsid) const;

 private:
  std::vector<ProviderInfo> m_providers;
};
