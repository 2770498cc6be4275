#include "ReleasePropertySet.h"

#include "objbase.h"
#include "oleauto.h"

void ReleasePropertySet(DBPROPSET& propertySet) {
  if (propertySet.rgProperties) {
    for (ULONG i = 0; i < propertySet.cProperties; ++i) VariantClear(&propertySet.rgProperties[i].vValue);
  }
  CoTaskMemFree(propertySet.rgProperties);
  propertySet.rgProperties = nullptr;
  propertySet.cProperties = 0;
}

void ReleasePropertySets(ULONG count, DBPROPSET* propertySets) {
  for (ULONG i = 0; propertySets && i < count; ++i) ReleasePropertySet(propertySets[i]);
  CoTaskMemFree(propertySets);
}
