// Names of the property sets.
#pragma once

#include "objbase.h"

// The set's "DBPROPSET_" name; a set outside the table gives its GUID text
// (shared buffer, see GuidNameText). Never fails.
const char* GetPropSetName(const GUID* pPropSet);
