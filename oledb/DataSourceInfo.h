// Reading one property a data source reports about itself.
#pragma once

#include "oleauto.h"
#include "oledb.h"

// One DBPROPSET_DATASOURCEINFO property: false when the data source has no
// IDBProperties or returns no such property. `value` receives a copy the
// caller clears; a property the provider could not give comes back empty.
bool ReadDataSourceInfo(IUnknown* dataSource, DBPROPID id, VARIANT& value);
