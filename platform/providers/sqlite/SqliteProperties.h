// The provider's property tables. One array, grouped by set, so the data
// source can report every set while sessions and rowsets use their part.
#pragma once

#include <span>

#include "PropertyTable.h"

std::span<const PropertyDef> SqliteAllProperties();
std::span<const PropertyDef> SqliteSessionProperties();
std::span<const PropertyDef> SqliteRowsetProperties();

inline constexpr LONG kSqliteDefaultBusyTimeoutSeconds = 5;
