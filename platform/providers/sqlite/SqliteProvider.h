// The SQLite provider's public face: its class identifier and names.
#pragma once

#include "oledb.h"

// {19E4D0D3-C063-4272-A128-646751DDB0CF}
inline constexpr CLSID CLSID_RavezovSQLite = {
    0x19E4D0D3, 0xC063, 0x4272, {0xA1, 0x28, 0x64, 0x67, 0x51, 0xDD, 0xB0, 0xCF}};

inline constexpr const char* kSqliteProgId = "Ravezov.SQLite";
inline constexpr const char* kSqliteDescription = "Ravezov OLE DB Provider for SQLite";

// Creates an uninitialized data source object of the provider.
HRESULT CreateSqliteDataSource(REFIID riid, void** ppv);
