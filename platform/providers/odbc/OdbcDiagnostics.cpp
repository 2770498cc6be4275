#include "OdbcDiagnostics.h"

#include "ErrorRecords.h"
#include "OdbcProvider.h"
#include "stringapiset.h"

namespace {

// A driver that keeps answering (or misreports its count) cannot hold the
// caller in the loop.
constexpr SQLSMALLINT kMaxRecords = 32;

std::u16string Masked(std::u16string text, const std::u16string& secret) {
  if (secret.empty()) return text;
  for (size_t at = text.find(secret); at != std::u16string::npos; at = text.find(secret, at + 3))
    text.replace(at, secret.size(), u"***");
  return text;
}

}  // namespace

HRESULT PostOdbcDiagnostics(HRESULT hr, REFIID iid, SQLSMALLINT handleType, SQLHANDLE handle,
                            std::string_view fallback, const std::u16string& secret) {
  CErrorRecordsBuilder records(CLSID_RavezovODBC, iid, std::u16string(kOdbcErrorSource));
  for (SQLSMALLINT i = 1; handle != SQL_NULL_HANDLE && i <= kMaxRecords; ++i) {
    SQLWCHAR state[6] = {};
    SQLINTEGER native = 0;
    SQLWCHAR message[2048];
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLGetDiagRecW(handleType, handle, i, state, &native, message,
                                  static_cast<SQLSMALLINT>(std::size(message)), &length);
    if (!OdbcOk(rc)) break;
    size_t units = std::min<size_t>(length < 0 ? 0 : static_cast<size_t>(length), std::size(message) - 1);
    std::string text = OleToAnsi(Masked(FromOdbcText(message, units), secret));
    records.Add(hr, text, OleToAnsi(FromOdbcText(state, 5)), native);
  }
  if (records.Empty()) records.Add(hr, fallback);
  return records.Post(hr);
}

HRESULT PostOdbcError(HRESULT hr, REFIID iid, std::string_view text) {
  return PostError(hr, CLSID_RavezovODBC, iid, kOdbcErrorSource, text);
}

std::string FirstSqlState(SQLSMALLINT handleType, SQLHANDLE handle) {
  SQLWCHAR state[6] = {};
  SQLINTEGER native = 0;
  SQLSMALLINT length = 0;
  SQLWCHAR message[8];
  SQLRETURN rc = SQLGetDiagRecW(handleType, handle, 1, state, &native, message, 8, &length);
  return OdbcOk(rc) ? OleToAnsi(FromOdbcText(state, 5)) : std::string();
}
