// Names of the schema rowsets and of their restrictions.
#pragma once

#include "objbase.h"

// The schema's "DBSCHEMA_" name and, through pcRestrictions, its number of
// restrictions; a schema outside the table gives its GUID text (shared
// buffer, see GuidNameText) and 0. Never fails.
const char* GetSchemaName(const GUID* pSchema, ULONG* pcRestrictions);

// The standard name of restriction `ordinal` (0-based) of the schema, or
// null when the schema or that restriction is not in the table.
const char* GetRestrictionName(REFGUID schema, ULONG ordinal);
