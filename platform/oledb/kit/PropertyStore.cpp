// CPropertyStore: property information, values and status rules driven by
// one table per provider object.
#include "PropertyTable.h"

#include <algorithm>
#include <cstring>

#include "AccessorTable.h"
#include "CPropertyInfoSetArray.h"
#include "CPropertySetArray.h"
#include "objbase.h"
#include "oleauto.h"
#include "stringapiset.h"

namespace {

struct GroupOfSet {
  const GUID* allSet;
  DBPROPFLAGS group;
};

// The "all properties of a group" sets that GetPropertyInfo accepts.
constexpr GroupOfSet kGroups[] = {
    {&DBPROPSET_COLUMNALL, DBPROPFLAGS_COLUMN},
    {&DBPROPSET_DATASOURCEALL, DBPROPFLAGS_DATASOURCE},
    {&DBPROPSET_DATASOURCEINFOALL, DBPROPFLAGS_DATASOURCEINFO},
    {&DBPROPSET_DBINITALL, DBPROPFLAGS_DBINIT},
    {&DBPROPSET_INDEXALL, DBPROPFLAGS_INDEX},
    {&DBPROPSET_ROWSETALL, DBPROPFLAGS_ROWSET},
    {&DBPROPSET_SESSIONALL, DBPROPFLAGS_SESSION},
    {&DBPROPSET_STREAMALL, DBPROPFLAGS_STREAM},
    {&DBPROPSET_TABLEALL, DBPROPFLAGS_TABLE},
    {&DBPROPSET_TRUSTEEALL, DBPROPFLAGS_TRUSTEE},
    {&DBPROPSET_VIEWALL, DBPROPFLAGS_VIEW},
};

const GroupOfSet* GroupFor(REFGUID set) {
  for (const GroupOfSet& g : kGroups)
    if (*g.allSet == set) return &g;
  return nullptr;
}

VARIANT InitialValue(const PropertyDefault& d) {
  VARIANT v;
  VariantInit(&v);
  switch (d.vt) {
    case VT_I2: v.vt = VT_I2; v.iVal = static_cast<SHORT>(d.integer); break;
    case VT_I4: v.vt = VT_I4; v.lVal = static_cast<LONG>(d.integer); break;
    case VT_I8: v.vt = VT_I8; v.llVal = d.integer; break;
    case VT_BOOL: v.vt = VT_BOOL; v.boolVal = d.integer ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_BSTR:
      v.vt = VT_BSTR;
      v.bstrVal = SysAllocString(d.text ? d.text : u"");
      if (!v.bstrVal) v.vt = VT_EMPTY;
      break;
    default: break;
  }
  return v;
}

bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (a.vt != b.vt) return false;
  switch (a.vt) {
    case VT_EMPTY:
    case VT_NULL: return true;
    case VT_I2: return a.iVal == b.iVal;
    case VT_I4: return a.lVal == b.lVal;
    case VT_I8: return a.llVal == b.llVal;
    case VT_BOOL: return (a.boolVal != 0) == (b.boolVal != 0);
    case VT_BSTR:
      return std::u16string_view(a.bstrVal ? a.bstrVal : u"") ==
             std::u16string_view(b.bstrVal ? b.bstrVal : u"");
    default: return false;
  }
}

template <class T>
T* TaskArray(size_t count) {
  if (count == 0) return nullptr;
  void* p = CoTaskMemAlloc(count * sizeof(T));
  if (p) std::memset(p, 0, count * sizeof(T));
  return static_cast<T*>(p);
}

}  // namespace

CPropertyStore::CPropertyStore(std::span<const PropertyDef> table) : m_table(table) {
  for (const PropertyDef& def : m_table) {
    m_values.push_back(InitialValue(def.defaultValue));
    m_options.push_back(DBPROPOPTIONS_OPTIONAL);
    if (!IsAvailable(*def.set)) m_available.push_back(*def.set);
  }
}

CPropertyStore::~CPropertyStore() {
  for (VARIANT& v : m_values) VariantClear(&v);
}

CPropertyStore::CPropertyStore(const CPropertyStore& other)
    : m_table(other.m_table),
      m_values(other.m_values.size()),
      m_options(other.m_options),
      m_available(other.m_available),
      m_readOnly(other.m_readOnly),
      m_describedOnly(other.m_describedOnly) {
  for (size_t i = 0; i < m_values.size(); ++i) {
    VariantInit(&m_values[i]);
    VariantCopy(&m_values[i], &other.m_values[i]);
  }
}

void CPropertyStore::SetAvailableSets(std::vector<GUID> sets) { m_available = std::move(sets); }
void CPropertyStore::SetReadOnlySets(std::vector<GUID> sets) { m_readOnly = std::move(sets); }
void CPropertyStore::SetDescribedOnlySets(std::vector<GUID> sets) { m_describedOnly = std::move(sets); }

int CPropertyStore::IndexOf(REFGUID set, DBPROPID id) const {
  for (size_t i = 0; i < m_table.size(); ++i)
    if (m_table[i].id == id && *m_table[i].set == set) return static_cast<int>(i);
  return -1;
}

bool CPropertyStore::IsAvailable(REFGUID set) const {
  return std::find(m_available.begin(), m_available.end(), set) != m_available.end();
}

bool CPropertyStore::IsHeld(REFGUID set) const {
  return std::find(m_describedOnly.begin(), m_describedOnly.end(), set) == m_describedOnly.end();
}

bool CPropertyStore::IsWritable(size_t index) const {
  const PropertyDef& def = m_table[index];
  if (!(def.flags & DBPROPFLAGS_WRITE)) return false;
  return std::find(m_readOnly.begin(), m_readOnly.end(), *def.set) == m_readOnly.end();
}

DBPROPFLAGS CPropertyStore::FlagsOf(size_t index) const {
  DBPROPFLAGS flags = m_table[index].flags | DBPROPFLAGS_READ;
  return IsWritable(index) ? flags : flags & ~DBPROPFLAGS_WRITE;
}

void CPropertyStore::AddWholeSet(REFGUID set, Resolution& r) const {
  Wanted w{set, {}};
  for (size_t i = 0; i < m_table.size(); ++i)
    if (*m_table[i].set == set) w.props.emplace_back(m_table[i].id, static_cast<int>(i));
  r.total += w.props.size();
  r.sets.push_back(std::move(w));
}

void CPropertyStore::AddGroup(DBPROPFLAGS group, Resolution& r) const {
  for (const GUID& set : m_available) {
    Wanted w{set, {}};
    for (size_t i = 0; i < m_table.size(); ++i)
      if (*m_table[i].set == set && (m_table[i].flags & group))
        w.props.emplace_back(m_table[i].id, static_cast<int>(i));
    if (w.props.empty()) continue;
    r.total += w.props.size();
    r.sets.push_back(std::move(w));
  }
}

void CPropertyStore::DropSetsNotHeld(Resolution& r) const {
  std::erase_if(r.sets, [&](const Wanted& w) {
    if (IsHeld(w.set)) return false;
    r.total -= w.props.size();
    return true;
  });
}

// cPropertyIDSets 0 means every property of every available set; a set with
// no ids means all of that set. Unknown sets and ids count as failures.
HRESULT CPropertyStore::Resolve(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                bool allowGroups, Resolution& r) const {
  if (cPropertyIDSets && !rgPropertyIDSets) return E_INVALIDARG;
  for (ULONG s = 0; s < cPropertyIDSets; ++s)
    if (rgPropertyIDSets[s].cPropertyIDs && !rgPropertyIDSets[s].rgPropertyIDs) return E_INVALIDARG;
  if (cPropertyIDSets == 0) {
    for (const GUID& set : m_available) AddWholeSet(set, r);
    return S_OK;
  }
  for (ULONG s = 0; s < cPropertyIDSets; ++s) {
    const DBPROPIDSET& req = rgPropertyIDSets[s];
    const GroupOfSet* group = allowGroups ? GroupFor(req.guidPropertySet) : nullptr;
    bool available = IsAvailable(req.guidPropertySet);
    if (req.cPropertyIDs == 0 && group) {
      AddGroup(group->group, r);
    } else if (req.cPropertyIDs == 0 && available) {
      AddWholeSet(req.guidPropertySet, r);
    } else if (req.cPropertyIDs == 0) {
      r.sets.push_back({req.guidPropertySet, {}});
      ++r.total;
      ++r.failed;
    } else {
      Wanted w{req.guidPropertySet, {}};
      for (ULONG i = 0; i < req.cPropertyIDs; ++i) {
        int index = available ? IndexOf(req.guidPropertySet, req.rgPropertyIDs[i]) : -1;
        w.props.emplace_back(req.rgPropertyIDs[i], index);
        if (index < 0) ++r.failed;
      }
      r.total += req.cPropertyIDs;
      r.sets.push_back(std::move(w));
    }
  }
  return S_OK;
}

HRESULT CPropertyStore::GetPropertyInfo(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                        ULONG* pcPropertyInfoSets,
                                        DBPROPINFOSET** prgPropertyInfoSets,
                                        OLECHAR** ppDescBuffer) const {
  if (pcPropertyInfoSets) *pcPropertyInfoSets = 0;
  if (prgPropertyInfoSets) *prgPropertyInfoSets = nullptr;
  if (ppDescBuffer) *ppDescBuffer = nullptr;
  if (!pcPropertyInfoSets || !prgPropertyInfoSets) return E_INVALIDARG;
  Resolution r;
  if (HRESULT hr = Resolve(cPropertyIDSets, rgPropertyIDSets, true, r); FAILED(hr)) return hr;
  if (r.sets.empty()) return S_OK;

  // One buffer holds every description; each info points into it.
  size_t chars = 0;
  for (const Wanted& w : r.sets)
    for (const auto& [id, index] : w.props)
      if (index >= 0 && m_table[index].description) chars += OleStrLen(m_table[index].description) + 1;
  // The zeroed arrays are owned from the start, so a failure half way frees
  // what was built.
  OLECHAR* desc = ppDescBuffer ? TaskArray<OLECHAR>(chars) : nullptr;
  CPropertyInfoSetArray built(static_cast<ULONG>(r.sets.size()), TaskArray<DBPROPINFOSET>(r.sets.size()), desc);
  DBPROPINFOSET* sets = built.Get();
  if (!sets || (ppDescBuffer && chars && !desc)) return E_OUTOFMEMORY;
  OLECHAR* next = desc;
  for (size_t s = 0; s < r.sets.size(); ++s) {
    const Wanted& w = r.sets[s];
    sets[s].guidPropertySet = w.set;
    sets[s].rgPropertyInfos = TaskArray<DBPROPINFO>(w.props.size());
    if (!w.props.empty() && !sets[s].rgPropertyInfos) return E_OUTOFMEMORY;
    sets[s].cPropertyInfos = static_cast<ULONG>(w.props.size());
    for (size_t p = 0; p < w.props.size(); ++p) {
      auto [id, index] = w.props[p];
      DBPROPINFO& info = sets[s].rgPropertyInfos[p];
      info.dwPropertyID = id;
      VariantInit(&info.vValues);
      if (index < 0) {
        info.dwFlags = DBPROPFLAGS_NOTSUPPORTED;
        info.vtType = VT_EMPTY;
        continue;
      }
      info.dwFlags = FlagsOf(index);
      info.vtType = m_table[index].type;
      if (next && m_table[index].description) {
        size_t n = OleStrLen(m_table[index].description);
        std::memcpy(next, m_table[index].description, (n + 1) * sizeof(OLECHAR));
        info.pwszDescription = next;
        next += n + 1;
      }
    }
  }
  *prgPropertyInfoSets = built.Detach(pcPropertyInfoSets, ppDescBuffer);
  return CombineBindingStatuses(r.failed, r.total);
}

HRESULT CPropertyStore::GetProperties(ULONG cPropertyIDSets, const DBPROPIDSET rgPropertyIDSets[],
                                      ULONG* pcPropertySets, DBPROPSET** prgPropertySets) const {
  if (pcPropertySets) *pcPropertySets = 0;
  if (prgPropertySets) *prgPropertySets = nullptr;
  if (!pcPropertySets || !prgPropertySets) return E_INVALIDARG;
  for (ULONG s = 0; rgPropertyIDSets && s < cPropertyIDSets; ++s) {
    if (rgPropertyIDSets[s].guidPropertySet != DBPROPSET_PROPERTIESINERROR) continue;
    // Asked alone; this store keeps no failed properties to report.
    return cPropertyIDSets == 1 ? S_OK : E_INVALIDARG;
  }
  Resolution r;
  if (HRESULT hr = Resolve(cPropertyIDSets, rgPropertyIDSets, false, r); FAILED(hr)) return hr;
  if (cPropertyIDSets == 0) DropSetsNotHeld(r);  // "everything" means everything the object holds
  if (r.sets.empty()) return S_OK;

  CPropertySetArray built(static_cast<ULONG>(r.sets.size()), TaskArray<DBPROPSET>(r.sets.size()));
  DBPROPSET* sets = built.Get();
  if (!sets) return E_OUTOFMEMORY;
  size_t failed = r.failed;
  for (size_t s = 0; s < r.sets.size(); ++s) {
    const Wanted& w = r.sets[s];
    sets[s].guidPropertySet = w.set;
    sets[s].rgProperties = TaskArray<DBPROP>(w.props.size());
    if (!w.props.empty() && !sets[s].rgProperties) return E_OUTOFMEMORY;
    sets[s].cProperties = static_cast<ULONG>(w.props.size());
    const bool held = IsHeld(w.set);
    for (size_t p = 0; p < w.props.size(); ++p) {
      auto [id, index] = w.props[p];
      DBPROP& prop = sets[s].rgProperties[p];
      prop.dwPropertyID = id;
      prop.colid = DB_NULLID;
      VariantInit(&prop.vValue);
      if (index < 0) {
        prop.dwStatus = DBPROPSTATUS_NOTSUPPORTED;
        continue;
      }
      if (!held) {
        prop.dwStatus = DBPROPSTATUS_NOTSUPPORTED;
        ++failed;
        continue;
      }
      prop.dwOptions = m_options[index];
      prop.dwStatus = DBPROPSTATUS_OK;
      VariantCopy(&prop.vValue, &m_values[index]);
    }
  }
  *prgPropertySets = built.Detach(pcPropertySets);
  return CombineBindingStatuses(failed, r.total);
}

// The status one property of a SetProperties call would get, with the value
// converted to the table's type when it is settable.
DBPROPSTATUS CPropertyStore::Check(const DBPROP& prop, REFGUID set, int& index, VARIANT& value) const {
  if (prop.dwOptions != DBPROPOPTIONS_REQUIRED && prop.dwOptions != DBPROPOPTIONS_OPTIONAL)
    return DBPROPSTATUS_BADOPTION;
  index = IsAvailable(set) && IsHeld(set) ? IndexOf(set, prop.dwPropertyID) : -1;
  if (index < 0) return DBPROPSTATUS_NOTSUPPORTED;
  const PropertyDef& def = m_table[index];
  if (prop.vValue.vt == VT_EMPTY) {
    // VT_EMPTY asks for the default.
    VARIANT initial = InitialValue(def.defaultValue);
    value = initial;
  } else if (FAILED(VariantChangeType(&value, &prop.vValue, 0, def.type))) {
    return DBPROPSTATUS_BADVALUE;
  }
  if (IsWritable(index)) return DBPROPSTATUS_OK;
  // A read-only property accepts its current or its default value.
  VARIANT initial = InitialValue(def.defaultValue);
  bool same = SameValue(value, m_values[index]) || SameValue(value, initial);
  VariantClear(&initial);
  return same ? DBPROPSTATUS_OK : DBPROPSTATUS_NOTSETTABLE;
}

// Every property is checked first; a failing required property fails the
// call and nothing is set, so a DB_E_ERRORSOCCURRED never leaves half a change.
HRESULT CPropertyStore::SetProperties(ULONG cPropertySets, DBPROPSET rgPropertySets[]) {
  if (cPropertySets == 0) return S_OK;
  if (!rgPropertySets) return E_INVALIDARG;
  for (ULONG s = 0; s < cPropertySets; ++s)
    if (rgPropertySets[s].cProperties && !rgPropertySets[s].rgProperties) return E_INVALIDARG;

  struct Pending {
    int index;
    DBPROPOPTIONS options;
    VARIANT value;
  };
  std::vector<Pending> pending;
  size_t total = 0, failed = 0;
  bool requiredFailed = false;
  for (ULONG s = 0; s < cPropertySets; ++s) {
    DBPROPSET& set = rgPropertySets[s];
    for (ULONG p = 0; p < set.cProperties; ++p) {
      DBPROP& prop = set.rgProperties[p];
      int index = -1;
      VARIANT value;
      VariantInit(&value);
      prop.dwStatus = Check(prop, set.guidPropertySet, index, value);
      ++total;
      if (prop.dwStatus == DBPROPSTATUS_OK) {
        pending.push_back({index, prop.dwOptions, value});
        continue;
      }
      VariantClear(&value);
      ++failed;
      requiredFailed = requiredFailed || prop.dwOptions == DBPROPOPTIONS_REQUIRED;
    }
  }
  if (requiredFailed) {
    for (Pending& p : pending) VariantClear(&p.value);
    return DB_E_ERRORSOCCURRED;
  }
  for (Pending& p : pending) {
    VariantClear(&m_values[p.index]);
    m_values[p.index] = p.value;  // takes over the converted value
    m_options[p.index] = p.options;
  }
  return CombineBindingStatuses(failed, total);
}

const VARIANT* CPropertyStore::Value(REFGUID set, DBPROPID id) const {
  int index = IndexOf(set, id);
  return index < 0 ? nullptr : &m_values[index];
}

HRESULT CPropertyStore::SetBool(REFGUID set, DBPROPID id, bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return SetValue(set, id, v);
}

HRESULT CPropertyStore::SetLong(REFGUID set, DBPROPID id, LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return SetValue(set, id, v);
}

HRESULT CPropertyStore::SetText(REFGUID set, DBPROPID id, std::u16string_view value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
  if (!v.bstrVal) return E_OUTOFMEMORY;
  HRESULT hr = SetValue(set, id, v);
  VariantClear(&v);
  return hr;
}

HRESULT CPropertyStore::SetValue(REFGUID set, DBPROPID id, const VARIANT& value) {
  int index = IndexOf(set, id);
  if (index < 0) return DB_E_NOTFOUND;
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = value.vt == VT_EMPTY ? VariantCopy(&converted, &value)
                                    : VariantChangeType(&converted, &value, 0, m_table[index].type);
  if (FAILED(hr)) return hr;
  VariantClear(&m_values[index]);
  m_values[index] = converted;
  return S_OK;
}

bool CPropertyStore::Bool(REFGUID set, DBPROPID id) const {
  const VARIANT* v = Value(set, id);
  VARIANT b;
  VariantInit(&b);
  if (!v || FAILED(VariantChangeType(&b, v, 0, VT_BOOL))) return false;
  return b.boolVal != VARIANT_FALSE;
}

LONG CPropertyStore::Long(REFGUID set, DBPROPID id) const {
  const VARIANT* v = Value(set, id);
  VARIANT l;
  VariantInit(&l);
  if (!v || v->vt == VT_EMPTY || FAILED(VariantChangeType(&l, v, 0, VT_I4))) return 0;
  return l.lVal;
}

std::u16string CPropertyStore::Text(REFGUID set, DBPROPID id) const {
  const VARIANT* v = Value(set, id);
  VARIANT t;
  VariantInit(&t);
  if (!v || FAILED(VariantChangeType(&t, v, 0, VT_BSTR))) return {};
  std::u16string text(t.bstrVal ? t.bstrVal : u"", t.bstrVal ? SysStringLen(t.bstrVal) : 0);
  VariantClear(&t);
  return text;
}
