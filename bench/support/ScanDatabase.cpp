#include "ScanDatabase.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>

ScanDatabase::ScanDatabase(std::string_view prefix, int rows) {
  m_path = (std::filesystem::temp_directory_path() /
            (std::string(prefix) + std::to_string(getpid()) + ".db"))
               .string();
  sqlite3* db = nullptr;
  sqlite3_open(m_path.c_str(), &db);
  const std::string sql =
      "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
      "CREATE TABLE scan (id INTEGER PRIMARY KEY, symbol TEXT, quantity INTEGER,"
      " price REAL, note TEXT);"
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
      std::to_string(rows) +
      ")"
      " INSERT INTO scan SELECT i, 'SYM' || (i % 97), i % 1000, (i % 5000) / 4.0,"
      " 'note number ' || i FROM n;";
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

ScanDatabase::~ScanDatabase() { std::filesystem::remove(m_path); }
