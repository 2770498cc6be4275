#include "SqliteConnection.h"

#include <sqlite3.h>

CSqliteConnection::CSqliteConnection(sqlite3* db, std::string path, bool readOnly)
    : m_db(db), m_path(std::move(path)), m_readOnly(readOnly) {}

CSqliteConnection::~CSqliteConnection() { sqlite3_close_v2(m_db); }

std::shared_ptr<CSqliteConnection> CSqliteConnection::Open(const std::string& path,
                                                           bool readOnly, int busyTimeoutMs,
                                                           std::string& error, int& code) {
  // No SQLITE_OPEN_CREATE: a mistyped path must not leave an empty database
  // behind. No SQLITE_OPEN_URI: the path is a file name, nothing else.
  int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_FULLMUTEX;
  sqlite3* db = nullptr;
  code = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
  if (code == SQLITE_OK) {
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, busyTimeoutMs);
    // Opening is lazy: reading the schema is what tells a database from
    // any other file.
    code = sqlite3_exec(db, "SELECT count(*) FROM sqlite_schema", nullptr, nullptr, nullptr);
  }
  if (code != SQLITE_OK) {
    error = "Cannot open the database file '" + path + "': " +
            (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    if (db) code = sqlite3_extended_errcode(db);
    sqlite3_close_v2(db);
    return nullptr;
  }
  return std::shared_ptr<CSqliteConnection>(new CSqliteConnection(db, path, readOnly));
}

void CSqliteConnection::Interrupt() { sqlite3_interrupt(m_db); }
