#include "AddProperty.h"

#include "objbase.h"
#include "oleauto.h"

void AddProperty(DBPROPSET& set, DBPROPID id, DBPROPOPTIONS options, const VARIANT& value) {
  auto* grown = static_cast<DBPROP*>(CoTaskMemRealloc(set.rgProperties, sizeof(DBPROP) * (set.cProperties + 1)));
  if (!grown) return;
  set.rgProperties = grown;
  DBPROP& property = grown[set.cProperties];
  property = DBPROP{};
  property.dwOptions = options;
  property.colid = DB_NULLID;
  VariantInit(&property.vValue);
  property.dwPropertyID = id;
  property.vValue = value;
  ++set.cProperties;
}
