// Properties driven by one table per provider object: the table gives each
// property's set, id, type, flags, default and description, and serves
// GetPropertyInfo, GetProperties and SetProperties with the usual status rules.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "oledb.h"

struct PropertyDefault {
  VARTYPE vt = VT_EMPTY;  // VT_EMPTY: no value until set
  int64_t integer = 0;     // VT_I2, VT_I4, VT_I8, VT_BOOL (non-zero is VARIANT_TRUE)
  const OLECHAR* text = nullptr;  // VT_BSTR
};

struct PropertyDef {
  const GUID* set;
  DBPROPID id;
  VARTYPE type;
  DBPROPFLAGS flags;  // DBPROPFLAGS_READ / WRITE / REQUIRED and the set's group flag
  PropertyDefault defaultValue;
  const OLECHAR* description;
};

class CPropertyStore {
 public:
  explicit CPropertyStore(std::span<const PropertyDef> table);
  ~CPropertyStore();
  CPropertyStore(const CPropertyStore& other);
  CPropertyStore& operator=(const CPropertyStore&) = delete;

  // Sets the store reports and accepts now (all sets of the table by default);
  // e.g. a data source shows DATASOURCEINFO only once initialized.
  void SetAvailableSets(std::vector<GUID> sets);
  // Properties of the DBINIT set turn read-only once a data source is initialized.
  void SetReadOnlySets(std::vector<GUID> sets);
  // Sets the object describes but does not hold, as a data source describes
  // the session and rowset properties it supports: GetPropertyInfo lists
  // them, GetProperties and SetProperties answer DBPROPSTATUS_NOTSUPPORTED.
  void SetDescribedOnlySets(std::vector<GUID> sets);

  HRESULT GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                          ULONG* pcPropertyInfoSets, DBPROPINFOSET** prgPropertyInfoSets,
                          OLECHAR** ppDescBuffer) const;
  HRESULT GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                        ULONG* pcPropertySets, DBPROPSET** prgPropertySets) const;
  // Statuses are written into rgPropertySets; DB_S_ERRORSOCCURRED when an
  // optional property failed, DB_E_ERRORSOCCURRED when all failed or none could be set.
  HRESULT SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]);

  // Current value, or null for an unknown property. VT_EMPTY when unset.
  const VARIANT* Value(REFGUID set, DBPROPID id) const;
  HRESULT SetValue(REFGUID set, DBPROPID id, const VARIANT& value);
  // Typed forms of SetValue, for the values a provider publishes or grants.
  HRESULT SetBool(REFGUID set, DBPROPID id, bool value);
  HRESULT SetLong(REFGUID set, DBPROPID id, LONG value);
  HRESULT SetText(REFGUID set, DBPROPID id, std::u16string_view value);
  bool Bool(REFGUID set, DBPROPID id) const;
  LONG Long(REFGUID set, DBPROPID id) const;
  std::u16string Text(REFGUID set, DBPROPID id) const;

 private:
  // The properties one request names, resolved against the table: an index,
  // or -1 for a property this store does not have.
  struct Wanted {
    GUID set;
    std::vector<std::pair<DBPROPID, int>> props;
  };
  struct Resolution {
    std::vector<Wanted> sets;
    size_t total = 0;
    size_t failed = 0;
  };

  std::span<const PropertyDef> m_table;
  std::vector<VARIANT> m_values;            // parallel to m_table
  std::vector<DBPROPOPTIONS> m_options;     // as the client last set them
  std::vector<GUID> m_available;
  std::vector<GUID> m_readOnly;
  std::vector<GUID> m_describedOnly;
  int IndexOf(REFGUID set, DBPROPID id) const;
  bool IsAvailable(REFGUID set) const;
  bool IsHeld(REFGUID set) const;
  bool IsWritable(size_t index) const;
  DBPROPFLAGS FlagsOf(size_t index) const;
  void AddWholeSet(REFGUID set, Resolution& r) const;
  void AddGroup(DBPROPFLAGS group, Resolution& r) const;
  void DropSetsNotHeld(Resolution& r) const;
  HRESULT Resolve(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[], bool allowGroups,
                  Resolution& r) const;
  DBPROPSTATUS Check(const DBPROP& prop, REFGUID set, int& index, VARIANT& value) const;
};
