#include "SqliteErrors.h"

#include <sqlite3.h>

#include <string>

#include "ErrorRecords.h"
#include "SqliteProvider.h"

HRESULT PostProviderError(HRESULT hr, REFIID iid, std::string_view text, LONG nativeError) {
  return PostError(hr, CLSID_RavezovSQLite, iid, kSqliteErrorSource, text, {}, nativeError);
}

HRESULT PostSqliteError(HRESULT hr, REFIID iid, sqlite3* db, std::string_view prefix) {
  std::string text(prefix);
  text += db ? sqlite3_errmsg(db) : "out of memory";
  LONG native = db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM;
  return PostProviderError(hr, iid, text, native);
}

HRESULT PostSqliteCodeError(REFIID iid, int rc) {
  return PostProviderError(SqliteStepFailure(rc), iid, sqlite3_errstr(rc), rc);
}

HRESULT SqliteStepFailure(int rc) {
  if ((rc & 0xFF) == SQLITE_INTERRUPT) return DB_E_CANCELED;
  if ((rc & 0xFF) == SQLITE_CONSTRAINT) return DB_E_INTEGRITYVIOLATION;
  return E_FAIL;
}
