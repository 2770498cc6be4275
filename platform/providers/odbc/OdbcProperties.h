// The ODBC provider's property tables.
#pragma once

#include <span>

#include "PropertyTable.h"

std::span<const PropertyDef> OdbcAllProperties();
std::span<const PropertyDef> OdbcSessionProperties();
std::span<const PropertyDef> OdbcRowsetProperties();
