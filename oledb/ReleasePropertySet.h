// Frees what a property set built for opening a rowset holds: each value is
// cleared and the property array goes back to the task allocator. The
// set's own storage belongs to the caller.
#pragma once

#include "oledb.h"

void ReleasePropertySet(DBPROPSET& propertySet);

// Frees an array of property sets returned by a provider, sets included.
void ReleasePropertySets(ULONG count, DBPROPSET* propertySets);
