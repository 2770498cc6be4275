// One connection to a driver: the environment and connection handles, the
// facts SQLGetInfo gives once, and the lock every call on it takes.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "COdbcHandle.h"
#include "OdbcConnectionString.h"
#include "oledb.h"

struct OdbcServerInfo {
  std::u16string dbmsName, dbmsVersion, dataSourceName, driverName;
  std::u16string quote = u"\"";           // identifier quote; a space when none
  std::u16string catalogSeparator = u".";
  std::u16string catalogTerm, schemaTerm, tableTerm;
  std::u16string searchEscape;
  SQLUSMALLINT catalogLocation = SQL_CL_START;
  SQLUSMALLINT identifierCase = SQL_IC_MIXED;  // how unquoted names are stored
  SQLUINTEGER catalogUsage = 0;
  SQLUINTEGER schemaUsage = 0;
  SQLUINTEGER getDataExtensions = 0;
  SQLUSMALLINT maxIdentifierLength = 0;
  bool readOnly = false;
  bool multipleResults = false;  // several statements in one text are run
};

class COdbcConnection {
 public:
  // Connects without any driver prompt; on failure posts the driver's
  // records (the password masked) for `iid` and returns null with hr set.
  static std::shared_ptr<COdbcConnection> Open(const OdbcConnectionSettings& settings, LONG timeoutSeconds,
                                               REFIID iid, HRESULT& hr);

  SQLHDBC Dbc() const { return m_dbc.Get(); }
  const OdbcServerInfo& Info() const { return m_info; }
  const std::u16string& Password() const { return m_password; }
  // Every driver call on the connection or its statements holds this lock,
  // except SQLCancel, which may interrupt a call under way.
  std::recursive_mutex& Mutex() { return m_mutex; }

  // A new statement handle; null with an error record posted on failure.
  COdbcHandle NewStatement(REFIID iid, HRESULT& hr);

 private:
  void ReadInfo();
  std::u16string InfoText(SQLUSMALLINT type) const;
  template <class T>
  T InfoValue(SQLUSMALLINT type, T fallback) const;

  COdbcHandle m_env;
  COdbcHandle m_dbc;
  OdbcServerInfo m_info;
  std::u16string m_password;
  std::recursive_mutex m_mutex;
};
