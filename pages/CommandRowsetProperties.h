// The rowset properties the Command Processor sets on its command before
// each execution: rows the grid can find again and change, or, for a
// result the provider cannot update, rows it only shows.
#pragma once

#include "oledb.h"

// IRowsetChange, UPDATABILITY (change, delete, insert), ISupportErrorInfo
// and IRowsetLocate, all required.
DBPROPSET UpdatableRowsetProperties();

// Changing switched off (optional), ISupportErrorInfo and IRowsetLocate
// still required, so a heading click can re-sort the rows.
DBPROPSET ReadOnlyRowsetProperties();

// True when the properties refused (status other than OK) are only the two
// that ask for changes, and at least one was refused.
bool OnlyChangingRefused(const DBPROPSET& set);
bool IsChangingProperty(DBPROPID id);
