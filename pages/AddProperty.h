// Builds a property set one entry at a time, as the pages set properties
// on providers.
#pragma once

#include "oledb.h"

// Grows the set by one property (options, empty column id, value); a
// property whose entry cannot be allocated is left out and the entries
// already added stay. The array comes from the task allocator, so
// ReleasePropertySet frees it; `value` is taken over as it is.
void AddProperty(DBPROPSET& set, DBPROPID id, DBPROPOPTIONS options, const VARIANT& value);
