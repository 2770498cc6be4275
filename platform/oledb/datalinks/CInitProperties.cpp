#include "CInitProperties.h"

#include "CPropertyInfoSetArray.h"
#include "CPropertySetArray.h"
#include "PropertyText.h"

namespace {

DBPROPIDSET AllOfDbInit() {
  DBPROPIDSET set{};
  set.rgPropertyIDs = nullptr;
  set.cPropertyIDs = 0;
  set.guidPropertySet = DBPROPSET_DBINIT;
  return set;
}

}  // namespace

HRESULT CInitProperties::LoadFrom(IDBProperties* source) {
  if (!source) return E_POINTER;
  m_items.clear();
  HRESULT hr = ReadInfo(source);
  if (FAILED(hr)) return hr;
  return ReadValues(source);
}

HRESULT CInitProperties::ReadInfo(IDBProperties* source) {
  DBPROPIDSET wanted = AllOfDbInit();
  CPropertyInfoSetArray info;
  HRESULT hr = source->GetPropertyInfo(1, &wanted, info.CountOut(), info.SetsOut(), info.DescriptionsOut());
  if (FAILED(hr)) return hr;
  for (const DBPROPINFOSET& set : info) {
    if (set.guidPropertySet != DBPROPSET_DBINIT) continue;
    for (ULONG p = 0; p < set.cPropertyInfos; ++p) {
      const DBPROPINFO& described = set.rgPropertyInfos[p];
      if (described.dwFlags == DBPROPFLAGS_NOTSUPPORTED) continue;
      InitProperty item;
      item.id = described.dwPropertyID;
      item.description = described.pwszDescription
                             ? QString::fromUtf16(described.pwszDescription)
                             : QStringLiteral("Property %1").arg(described.dwPropertyID);
      item.type = described.vtType;
      item.flags = described.dwFlags;
      m_items.push_back(std::move(item));
    }
  }
  return S_OK;
}

HRESULT CInitProperties::ReadValues(IDBProperties* source) {
  DBPROPIDSET wanted = AllOfDbInit();
  CPropertySetArray values;
  HRESULT hr = source->GetProperties(1, &wanted, values.CountOut(), values.SetsOut());
  if (FAILED(hr) && hr != DB_E_ERRORSOCCURRED) return hr;
  for (const DBPROPSET& set : values) {
    if (set.guidPropertySet != DBPROPSET_DBINIT) continue;
    for (ULONG p = 0; p < set.cProperties; ++p) {
      const DBPROP& prop = set.rgProperties[p];
      InitProperty* item = Find(prop.dwPropertyID);
      if (item && prop.dwStatus == DBPROPSTATUS_OK) item->value = CPropertyValue(prop.vValue);
    }
  }
  return S_OK;
}

HRESULT CInitProperties::ApplyTo(IDBProperties* target, Scope scope, QStringList* rejected) const {
  if (!target) return E_POINTER;
  std::vector<const InitProperty*> sent;
  std::vector<DBPROP> props;
  for (const InitProperty& item : m_items) {
    if (!item.IsWritable()) continue;
    if (scope == Scope::ChangedOnly ? !item.changed : item.value.IsEmpty()) continue;
    DBPROP prop{};
    prop.dwPropertyID = item.id;
    // A cleared value asks for the provider's default; that may be refused
    // without harm.
    prop.dwOptions = item.value.IsEmpty() ? DBPROPOPTIONS_OPTIONAL : DBPROPOPTIONS_REQUIRED;
    prop.colid = DB_NULLID;
    prop.vValue = item.value.Get();  // borrowed: SetProperties does not take ownership
    props.push_back(prop);
    sent.push_back(&item);
  }
  if (props.empty()) return S_OK;
  DBPROPSET set{};
  set.rgProperties = props.data();
  set.cProperties = static_cast<ULONG>(props.size());
  set.guidPropertySet = DBPROPSET_DBINIT;
  HRESULT hr = target->SetProperties(1, &set);
  QStringList refused;
  for (size_t i = 0; i < props.size(); ++i) {
    if (props[i].dwStatus != DBPROPSTATUS_OK && props[i].dwOptions == DBPROPOPTIONS_REQUIRED)
      refused.push_back(sent[i]->description);
  }
  if (rejected) rejected->append(refused);
  // Only refused defaults: the values that matter were all taken.
  if ((hr == DB_S_ERRORSOCCURRED || hr == DB_E_ERRORSOCCURRED) && refused.isEmpty()) return S_OK;
  return hr;
}

const InitProperty* CInitProperties::Find(DBPROPID id) const {
  for (const InitProperty& item : m_items)
    if (item.id == id) return &item;
  return nullptr;
}

InitProperty* CInitProperties::Find(DBPROPID id) {
  return const_cast<InitProperty*>(static_cast<const CInitProperties*>(this)->Find(id));
}

QString CInitProperties::Text(DBPROPID id) const {
  const InitProperty* item = Find(id);
  return item ? PropertyValueToText(item->value.Get()) : QString();
}

bool CInitProperties::SetText(DBPROPID id, const QString& text) {
  InitProperty* item = Find(id);
  if (!item) return false;
  if (PropertyValueToText(item->value.Get()) == text) return true;
  CPropertyValue parsed;
  if (!PropertyValueFromText(text, item->type, parsed)) return false;
  item->value = std::move(parsed);
  item->changed = true;
  return true;
}

LONG CInitProperties::Long(DBPROPID id, LONG fallback) const {
  const InitProperty* item = Find(id);
  if (!item || item->value.IsEmpty()) return fallback;
  CPropertyValue number;
  if (FAILED(VariantChangeType(number.Receive(), &item->value.Get(), 0, VT_I4))) return fallback;
  return number.Get().lVal;
}

void CInitProperties::SetLong(DBPROPID id, LONG value) {
  InitProperty* item = Find(id);
  if (!item || Long(id, ~value) == value) return;
  CPropertyValue number;
  VARIANT* out = number.Receive();
  out->vt = VT_I4;
  out->lVal = value;
  if (item->type != VT_I4 && FAILED(VariantChangeType(out, out, 0, item->type))) return;
  item->value = std::move(number);
  item->changed = true;
}
