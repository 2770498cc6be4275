// The schema rowsets of IDBSchemaRowset, from the ODBC catalog functions
// filled into the kit's standard layouts.
#pragma once

#include <memory>

#include "COdbcConnection.h"
#include "oledb.h"

HRESULT GetOdbcSchemas(ULONG* pcSchemas, GUID** prgSchemas, ULONG** prgRestrictionSupport);
HRESULT GetOdbcSchemaRowset(COdbcConnection& connection, REFGUID schema, ULONG cRestrictions,
                            const VARIANT rgRestrictions[], IUnknown* creator, REFIID riid, IUnknown** ppRowset);
