// The ODBC connection string built from the initialization properties.
#pragma once

#include <string>

struct OdbcConnectionSettings {
  std::u16string dataSource;      // a DSN
  std::u16string userId;
  std::u16string password;
  std::u16string extended;        // an ODBC connection string, used as given
  std::u16string initialCatalog;
};

// Extended properties first, as given; then DSN, UID, PWD and DATABASE for
// the values set, each braced when it holds a character the syntax uses.
// A DSN is left out when the extended properties name a DSN or a driver.
std::u16string BuildOdbcConnectionString(const OdbcConnectionSettings& settings);
// A value as a connection string attribute carries it.
std::u16string QuoteOdbcValue(const std::u16string& value);
