// The initialization properties (DBPROPSET_DBINIT) of one provider as the
// dialog edits them: what the provider describes through GetPropertyInfo,
// with the current values, and which the user changed.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "CPropertyValue.h"
#include "oledb.h"

struct InitProperty {
  DBPROPID id = 0;
  QString description;
  VARTYPE type = VT_EMPTY;
  DBPROPFLAGS flags = 0;
  CPropertyValue value;
  bool changed = false;

  bool IsWritable() const { return (flags & DBPROPFLAGS_WRITE) != 0; }
};

class CInitProperties {
 public:
  // Reads descriptions, types and current values from a data source.
  HRESULT LoadFrom(IDBProperties* source);

  // Which properties ApplyTo sends.
  enum class Scope { AllWithValues, ChangedOnly };
  // Sets the writable properties on a data source; `rejected` receives the
  // description of every property the provider refused.
  HRESULT ApplyTo(IDBProperties* target, Scope scope, QStringList* rejected) const;

  std::vector<InitProperty>& Items() { return m_items; }
  const std::vector<InitProperty>& Items() const { return m_items; }
  bool Has(DBPROPID id) const { return Find(id) != nullptr; }

  QString Text(DBPROPID id) const;
  // False when the text does not fit the property's type (nothing changes).
  bool SetText(DBPROPID id, const QString& text);
  LONG Long(DBPROPID id, LONG fallback) const;
  void SetLong(DBPROPID id, LONG value);

 private:
  const InitProperty* Find(DBPROPID id) const;
  InitProperty* Find(DBPROPID id);
  HRESULT ReadInfo(IDBProperties* source);
  HRESULT ReadValues(IDBProperties* source);

  std::vector<InitProperty> m_items;
};
