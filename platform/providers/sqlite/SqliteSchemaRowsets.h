// The schema rowsets of IDBSchemaRowset, built from SQLite's catalog and
// PRAGMAs across every attached database.
#pragma once

#include "oledb.h"

struct sqlite3;

HRESULT GetSqliteSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport);

// The caller holds the connection's lock.
HRESULT GetSqliteSchemaRowset(sqlite3* db, REFGUID schema, ULONG cRestrictions,
                              const VARIANT rgRestrictions[], IUnknown* creator,
                              REFIID riid, IUnknown** ppRowset);
