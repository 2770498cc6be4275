// Turns the driver's diagnostic records into error records: one record per
// SQLGetDiagRec record, with its SQLSTATE and native code.
#pragma once

#include <string>
#include <string_view>

#include "OdbcApi.h"
#include "oledb.h"

// Posts every diagnostic of `handle` (at most a bounded number, in order)
// as the thread's error object and returns hr. When the driver gives none,
// `fallback` is the one record. `secret` (a password), when not empty, is
// masked wherever a driver's text repeats it.
HRESULT PostOdbcDiagnostics(HRESULT hr, REFIID iid, SQLSMALLINT handleType, SQLHANDLE handle,
                            std::string_view fallback, const std::u16string& secret = {});
// One record of the provider's own.
HRESULT PostOdbcError(HRESULT hr, REFIID iid, std::string_view text);
// The SQLSTATE of the first diagnostic, or empty.
std::string FirstSqlState(SQLSMALLINT handleType, SQLHANDLE handle);
