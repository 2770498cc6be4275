#include "CommandRowsetProperties.h"

#include "AddProperty.h"
#include "oleauto.h"

namespace {

constexpr LONG kChangeDeleteInsert = DBPROPVAL_UP_CHANGE | DBPROPVAL_UP_DELETE | DBPROPVAL_UP_INSERT;

VARIANT Bool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT Long(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

DBPROPSET EmptyRowsetSet() {
  DBPROPSET set{};
  set.guidPropertySet = DBPROPSET_ROWSET;
  return set;
}

}  // namespace

DBPROPSET UpdatableRowsetProperties() {
  DBPROPSET set = EmptyRowsetSet();
  AddProperty(set, DBPROP_IRowsetChange, DBPROPOPTIONS_REQUIRED, Bool(true));
  AddProperty(set, DBPROP_UPDATABILITY, DBPROPOPTIONS_REQUIRED, Long(kChangeDeleteInsert));
  AddProperty(set, DBPROP_ISupportErrorInfo, DBPROPOPTIONS_REQUIRED, Bool(true));
  AddProperty(set, DBPROP_IRowsetLocate, DBPROPOPTIONS_REQUIRED, Bool(true));
  return set;
}

DBPROPSET ReadOnlyRowsetProperties() {
  DBPROPSET set = EmptyRowsetSet();
  AddProperty(set, DBPROP_IRowsetChange, DBPROPOPTIONS_OPTIONAL, Bool(false));
  AddProperty(set, DBPROP_UPDATABILITY, DBPROPOPTIONS_OPTIONAL, Long(0));
  AddProperty(set, DBPROP_ISupportErrorInfo, DBPROPOPTIONS_REQUIRED, Bool(true));
  AddProperty(set, DBPROP_IRowsetLocate, DBPROPOPTIONS_REQUIRED, Bool(true));
  return set;
}

bool IsChangingProperty(DBPROPID id) { return id == DBPROP_IRowsetChange || id == DBPROP_UPDATABILITY; }

bool OnlyChangingRefused(const DBPROPSET& set) {
  bool anyRefused = false;
  for (ULONG i = 0; i < set.cProperties; ++i) {
    const DBPROP& property = set.rgProperties[i];
    if (property.dwStatus == DBPROPSTATUS_OK) continue;
    if (!IsChangingProperty(property.dwPropertyID)) return false;
    anyRefused = true;
  }
  return anyRefused;
}
