#include "RawSqliteScan.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

double RawSqliteScan(const std::string& path, const char* query, size_t& bytes) {
  const auto start = std::chrono::steady_clock::now();
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, query, -1, &stmt, nullptr);
  const int columns = sqlite3_column_count(stmt);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c) {
      const unsigned char* text = sqlite3_column_text(stmt, c);
      if (!text) continue;
      const auto n = static_cast<size_t>(sqlite3_column_bytes(stmt, c));
      auto* copy = static_cast<char*>(std::malloc(n + 1));
      std::memcpy(copy, text, n + 1);
      bytes += n;
      benchmark::DoNotOptimize(copy);
      std::free(copy);
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
