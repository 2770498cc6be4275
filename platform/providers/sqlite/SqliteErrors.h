// Error records of the SQLite provider: its class and name as the source.
#pragma once

#include <string_view>

#include "oledb.h"

struct sqlite3;

inline constexpr std::u16string_view kSqliteErrorSource = u"Ravezov.SQLite";

// Posts one record with the provider's own text.
HRESULT PostProviderError(HRESULT hr, REFIID iid, std::string_view text, LONG nativeError = 0);
// Posts SQLite's current message for db, with its extended result code as
// the native error. The caller holds the connection's lock.
HRESULT PostSqliteError(HRESULT hr, REFIID iid, sqlite3* db, std::string_view prefix = {});
// Posts SQLite's text for a result code kept by the caller (the handle's
// own message may already describe a later call).
HRESULT PostSqliteCodeError(REFIID iid, int rc);
// The result for a failed sqlite3_step: canceled, a constraint, or E_FAIL.
HRESULT SqliteStepFailure(int rc);
