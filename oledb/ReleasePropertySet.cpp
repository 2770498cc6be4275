#include "ReleasePropertySet.h"

#include "CPropertySetArray.h"

void ReleasePropertySet(DBPROPSET& propertySet) { CPropertySetArray::ClearSet(propertySet); }

void ReleasePropertySets(ULONG count, DBPROPSET* propertySets) { CPropertySetArray owner(count, propertySets); }
