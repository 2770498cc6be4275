// Opening a session for a data source's schema rowsets, as the pages that
// list tables and schemas do.
#pragma once

#include "UiDefs.h"
#include "oledb.h"

// On failure shows the provider's records under `owner` and leaves
// `*session` null.
HRESULT OpenSchemaSession(IDBInitialize* dataSource, HWND owner, IDBSchemaRowset** session);
