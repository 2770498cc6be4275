// The properties every provider of the platform describes alike: the data
// source information that does not depend on the database, and the rowset
// properties, which follow from the kit's rowset base. A provider joins them
// with its own entries in a CProviderPropertyTable.
#pragma once

#include <span>

#include "PropertyTable.h"

std::span<const PropertyDef> StandardDataSourceInfoProperties();
std::span<const PropertyDef> StandardRowsetProperties();
