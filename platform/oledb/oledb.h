// The data-access interfaces: types, constants, GUIDs and interfaces.
#pragma once

#include "oledb_constants.h"
#include "oledb_guids.h"
#include "oledb_interfaces.h"
#include "oledb_provider_guids.h"
#include "oledb_types.h"
#include "oledberr.h"
