// A copy of a sample database (or a new one) that a test may change, with
// direct SQL to prepare it and to look at what reached the file.
// Header-only.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TestEnvironment.h"

namespace pagetest {

inline std::string SamplePath(const char* name) { return std::string(SamplesDir()) + "/" + name; }

class ScratchDatabase {
 public:
  explicit ScratchDatabase(const char* sample, const std::string& sql = {}) {
    static int counter = 0;
    m_path = (std::filesystem::temp_directory_path() /
              ("ravezov-page-" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".db"))
                 .string();
    std::filesystem::remove(m_path);
    if (sample) std::filesystem::copy_file(SamplePath(sample), m_path);
    if (!sql.empty()) Exec(sql);
  }
  ~ScratchDatabase() { std::filesystem::remove(m_path); }
  const std::string& Path() const { return m_path; }

  void Exec(const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(m_path.c_str(), &db);
    char* error = nullptr;
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(error, nullptr) << error;
    sqlite3_free(error);
    sqlite3_close(db);
  }
  // The first column of the first row as text; "<none>" without a row.
  std::string Query(const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(m_path.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    std::string value = "<none>";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
      value = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
  }

 private:
  std::string m_path;
};

}  // namespace pagetest
